// Counts calls to the global allocator while a scope is open, to prove that audio code never allocates.
#pragma once

#include <atomic>
#include <cstddef>

namespace vtest {

// Counts allocations made on the thread that opened the scope (or on any thread when everyThread is set).
class AllocScope {
 public:
  explicit AllocScope(bool everyThread = false);
  ~AllocScope();
  AllocScope(const AllocScope&) = delete;
  AllocScope& operator=(const AllocScope&) = delete;
  long count() const;
};

}  // namespace vtest
