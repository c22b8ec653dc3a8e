/* Preloaded into a test's child process: the wall clock runs VORREL_CLOCK_SHIFT seconds off (either way), as on a
   machine whose clock is wrong. Monotonic clocks are left alone. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdlib.h>
#include <time.h>

static long long clockShift(void) {
  const char* s = getenv("VORREL_CLOCK_SHIFT");
  return s ? atoll(s) : 0;
}

int clock_gettime(clockid_t id, struct timespec* ts) {
  static int (*real)(clockid_t, struct timespec*) = NULL;
  if (!real) real = (int (*)(clockid_t, struct timespec*))dlsym(RTLD_NEXT, "clock_gettime");
  const int r = real(id, ts);
  if (r == 0 && ts && (id == CLOCK_REALTIME || id == CLOCK_REALTIME_COARSE)) ts->tv_sec += (time_t)clockShift();
  return r;
}

time_t time(time_t* out) {
  struct timespec ts;
  clock_gettime(CLOCK_REALTIME, &ts);
  if (out) *out = ts.tv_sec;
  return ts.tv_sec;
}
