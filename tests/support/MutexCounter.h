// Counts pthread_mutex_lock calls on the counting thread (not available under sanitizers, which own that symbol).
#pragma once

namespace vtest {

bool mutexCountingAvailable();
void startMutexCount();
long stopMutexCount();

}  // namespace vtest
