// Xlib's default error handler exits the process, so a host that destroys our parent window first would die
// with us. While editors are open we swallow errors on our own displays and chain all others.
#include "XErrorGuard.h"

#include <X11/Xlib.h>

#include <atomic>
#include <mutex>

namespace vrui {
namespace {

constexpr int kMaxDisplays = 64;

// Slots read lock-free by the handler, which Xlib calls with a display lock held on any editor's thread.
std::atomic<Display*> gDisplays[kMaxDisplays];
std::atomic<XErrorHandler> gPrevious{nullptr};
std::atomic<unsigned long> gSwallowed{0};
std::mutex gInstallMutex;  // guards gRegistered and installing/restoring the handler
int gRegistered = 0;

int onXError(Display* display, XErrorEvent* event) {
  for (auto& slot : gDisplays) {
    if (slot.load(std::memory_order_acquire) == display) {
      gSwallowed.fetch_add(1, std::memory_order_relaxed);
      return 0;
    }
  }
  const XErrorHandler previous = gPrevious.load(std::memory_order_acquire);
  return previous ? previous(display, event) : 0;
}

}  // namespace

void registerEditorDisplay(Display* display) {
  if (!display) return;
  std::lock_guard<std::mutex> lock(gInstallMutex);
  for (auto& slot : gDisplays) {
    Display* expected = nullptr;
    if (slot.compare_exchange_strong(expected, display, std::memory_order_acq_rel)) break;
  }
  if (gRegistered++ == 0) {
    const XErrorHandler previous = XSetErrorHandler(onXError);
    if (previous != onXError) gPrevious.store(previous, std::memory_order_release);
  }
}

void unregisterEditorDisplay(Display* display) {
  if (!display) return;
  std::lock_guard<std::mutex> lock(gInstallMutex);
  for (auto& slot : gDisplays) {
    Display* expected = display;
    if (slot.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel)) break;
  }
  if (gRegistered > 0 && --gRegistered == 0) {
    const XErrorHandler current = XSetErrorHandler(gPrevious.load(std::memory_order_acquire));
    // Someone installed a handler over ours meanwhile: keep theirs; ours stays in their chain and still chains on.
    if (current != onXError) XSetErrorHandler(current);
  }
}

unsigned long swallowedXErrors() { return gSwallowed.load(std::memory_order_relaxed); }

}  // namespace vrui
