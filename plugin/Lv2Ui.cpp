// Vorrel.lv2's editor: the exported LV2 UI entry and the X11 frame window the editor opens in.
#include "Lv2Ui.h"
#include "VorrelConfig.h"

#include <X11/Xlib.h>

#include <mutex>
#include <new>

namespace {

// Errors on our own connection while the frame goes (the host may have destroyed its window first) are
// swallowed; the handler is ours only for that moment.
std::mutex gFrameErrorMutex;
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// A plain child of the host's window with a connection of its own, used on the host's UI thread only.
class X11Frame final : public vfw::Lv2UiFrame {
 public:
  X11Frame(Display* d, Window w) : display(d), win(w) {}
  ~X11Frame() override {
    std::lock_guard<std::mutex> lock(gFrameErrorMutex);
    XSync(display, False);
    const auto previous = XSetErrorHandler(ignoreXError);
    XDestroyWindow(display, win);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
  }
  X11Frame(const X11Frame&) = delete;
  X11Frame& operator=(const X11Frame&) = delete;

  uintptr_t window() const override { return static_cast<uintptr_t>(win); }
  void resize(int w, int h) override {
    XResizeWindow(display, win, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XFlush(display);
  }

 private:
  Display* display;
  Window win;
};

vfw::Lv2UiFrame* makeFrame(uintptr_t parent, int w, int h) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  const Window win = XCreateSimpleWindow(display, static_cast<Window>(parent), 0, 0, static_cast<unsigned>(w),
                                         static_cast<unsigned>(h), 0, 0, 0);
  XMapWindow(display, win);
  XSync(display, False);
  auto* frame = new (std::nothrow) X11Frame(display, win);
  if (!frame) {
    XDestroyWindow(display, win);
    XCloseDisplay(display);
  }
  return frame;
}

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? vfw::lv2UiDescriptor(kVorrelLv2UiUri, makeFrame) : nullptr;
}
