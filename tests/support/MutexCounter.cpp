// Interposes pthread_mutex_lock and pthread_mutex_trylock to count locks taken by the audio thread.
#include "MutexCounter.h"

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>

namespace {

using LockFn = int (*)(pthread_mutex_t*);
LockFn realLock = nullptr;
LockFn realTry = nullptr;
std::atomic<long> gLocks{0};
thread_local bool tCounting = false;

// Resolved before main, while only one thread runs.
[[gnu::constructor]] void resolve() {
  realLock = reinterpret_cast<LockFn>(dlsym(RTLD_NEXT, "pthread_mutex_lock"));
  realTry = reinterpret_cast<LockFn>(dlsym(RTLD_NEXT, "pthread_mutex_trylock"));
}

}  // namespace

extern "C" [[gnu::visibility("default")]] int pthread_mutex_lock(pthread_mutex_t* m) {
  if (tCounting) gLocks.fetch_add(1, std::memory_order_relaxed);
  return realLock(m);
}

extern "C" [[gnu::visibility("default")]] int pthread_mutex_trylock(pthread_mutex_t* m) {
  if (tCounting) gLocks.fetch_add(1, std::memory_order_relaxed);
  return realTry(m);
}

namespace vtest {

bool mutexCountingAvailable() { return realLock && realTry; }
void startMutexCount() {
  gLocks.store(0);
  tCounting = true;
}
long stopMutexCount() {
  tCounting = false;
  return gLocks.load();
}

}  // namespace vtest
