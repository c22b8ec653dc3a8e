// pthread robust mutex calls; a holder that dies leaves EOWNERDEAD for the next locker instead of a dead lock.
#include "RobustMutex.h"

#include <pthread.h>

#include <cerrno>
#include <ctime>
#include <new>

namespace vorrel::mem {
namespace {

static_assert(sizeof(pthread_mutex_t) == 40, "the segment keeps 40 bytes for the mutex");

void sleep10ms() {
  timespec ts{0, 10 * 1000 * 1000};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

}  // namespace

bool initRobustMutex(void* where) {
  pthread_mutexattr_t attr;
  if (pthread_mutexattr_init(&attr) != 0) return false;
  bool ok = pthread_mutexattr_setpshared(&attr, PTHREAD_PROCESS_SHARED) == 0 &&
            pthread_mutexattr_setrobust(&attr, PTHREAD_MUTEX_ROBUST) == 0;
  ok = ok && pthread_mutex_init(static_cast<pthread_mutex_t*>(where), &attr) == 0;
  pthread_mutexattr_destroy(&attr);
  return ok;
}

LockResult lockRobustMutex(void* where, int attempts) {
  auto* m = static_cast<pthread_mutex_t*>(where);
  for (int i = 0; i < attempts; ++i) {
    const int r = pthread_mutex_trylock(m);
    if (r == 0) return LockResult::Taken;
    if (r == EOWNERDEAD) return LockResult::TakenFromDeadOwner;
    if (r == ENOTRECOVERABLE) return LockResult::Busy;
    sleep10ms();
  }
  return LockResult::Busy;
}

void markConsistent(void* where) { pthread_mutex_consistent(static_cast<pthread_mutex_t*>(where)); }

void unlockRobustMutex(void* where) { pthread_mutex_unlock(static_cast<pthread_mutex_t*>(where)); }

}  // namespace vorrel::mem
