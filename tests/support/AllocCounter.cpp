// Replacement global operator new/delete that count while an AllocScope is open.
#include "AllocCounter.h"

#include <cstdlib>
#include <new>

namespace {

std::atomic<long> gCount{0};
std::atomic<bool> gEveryThread{false};
std::atomic<int> gOpen{0};
thread_local bool tCounting = false;

void note() {
  if (gOpen.load(std::memory_order_relaxed) > 0 && (tCounting || gEveryThread.load(std::memory_order_relaxed)))
    gCount.fetch_add(1, std::memory_order_relaxed);
}

void* allocate(std::size_t n) {
  note();
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  return p;
}

void* allocateAligned(std::size_t n, std::align_val_t a) {
  note();
  void* p = std::aligned_alloc(static_cast<std::size_t>(a),
                               ((n ? n : 1) + static_cast<std::size_t>(a) - 1) & ~(static_cast<std::size_t>(a) - 1));
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  note();
  return std::malloc(n ? n : 1);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  note();
  return std::malloc(n ? n : 1);
}
void* operator new(std::size_t n, std::align_val_t a) { return allocateAligned(n, a); }
void* operator new[](std::size_t n, std::align_val_t a) { return allocateAligned(n, a); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace vtest {

AllocScope::AllocScope(bool everyThread) {
  gCount.store(0);
  gEveryThread.store(everyThread);
  tCounting = true;
  gOpen.fetch_add(1);
}

AllocScope::~AllocScope() {
  gOpen.fetch_sub(1);
  tCounting = false;
  gEveryThread.store(false);
}

long AllocScope::count() const { return gCount.load(); }

}  // namespace vtest
