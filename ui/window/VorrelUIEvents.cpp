// The pugl event callback: where each window event goes. Nothing thrown here may cross pugl's C frames.
#include "EmbeddedFonts.h"
#include "GlLoader.h"
#include "KeysymText.h"
#include "PuglApi.h"
#include "VorrelUI.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <nanovg.h>
#define NANOVG_GL2
#include <nanovg_gl.h>

#include <string>

namespace {

constexpr uint32_t kLeftButton = 0;  // pugl counts buttons from 0: left, right, middle

// pugl's modifier bits as the panel input names them.
uint32_t modifiers(uint32_t state) {
  return ((state & PUGL_MOD_SHIFT) ? vrui::keys::kModShift : 0u) |
         ((state & PUGL_MOD_CTRL) ? vrui::keys::kModCtrl : 0u);
}

// The text a key types by its key symbol at the keyboard's current group and level, for hosts whose locale makes
// the window system send no text for it. Alt and Super chords type nothing.
std::string keyText(const VorrelUI& ui, uint32_t keycode, uint32_t state);

}  // namespace

struct VorrelUIEvents {
  static Display* display(const VorrelUI& ui) {
    return ui.world ? static_cast<Display*>(puglGetNativeWorld(ui.world)) : nullptr;
  }

  static void realize(VorrelUI& ui) {
    ui.drawnValid = false;  // a new context holds no frame yet
    if (!vrui::loadGlFunctions()) return;  // no context, nothing drawn
    ui.vg = nvgCreateGL2(NVG_ANTIALIAS | NVG_STENCIL_STROKES);
    if (!ui.vg) return;
    ui.recorder.install(ui.vg);
    ui.fonts = vrui::loadEmbeddedFonts(ui.vg);
  }

  static void unrealize(VorrelUI& ui) {
    ui.layer.release();
    ui.recorder.forget();
    if (ui.vg) nvgDeleteGL2(ui.vg);
    ui.vg = nullptr;
    ui.fonts = vrui::PanelFonts{};
  }

  static void dispatch(VorrelUI& ui, const PuglEvent& e) {
    vrui::PanelInput& in = ui.input;
    switch (e.type) {
      case PUGL_CREATE:
        realize(ui);
        break;
      case PUGL_DESTROY:
        unrealize(ui);
        break;
      case PUGL_CONFIGURE:
        ui.viewW = ui.fullW = static_cast<float>(e.configure.width);
        ui.viewH = ui.fullH = static_cast<float>(e.configure.height);
        break;
      case PUGL_EXPOSE:
        ui.render();
        break;
      case PUGL_CLOSE:
        ui.running.store(false, std::memory_order_release);
        break;
      case PUGL_KEY_PRESS:
        in.flushKeyText();  // the last press typed its own text if no text event came for it
        in.onKey(e.key.key, modifiers(e.key.state));
        if (in.editKind != 0) in.onKeyText(keyText(ui, e.key.keycode, e.key.state), modifiers(e.key.state));
        break;
      case PUGL_TEXT:
        if (in.editKind != 0) in.onText(e.text.string);  // takes printable text only
        break;
      case PUGL_BUTTON_PRESS:
        if (e.button.button != kLeftButton || in.holding()) break;
        {
          const auto x = static_cast<float>(e.button.x);
          const auto y = static_cast<float>(e.button.y);
          in.onPress(x, y, in.lastClickWasRecent(static_cast<uint32_t>(e.button.time * 1000.0), x, y));
        }
        break;
      case PUGL_BUTTON_RELEASE:
        if (e.button.button == kLeftButton) in.onRelease();
        break;
      case PUGL_MOTION:
        if (in.holding()) {
          in.onDrag(static_cast<float>(e.motion.x), static_cast<float>(e.motion.y), e.motion.state & PUGL_MOD_SHIFT);
        } else {
          in.onMotion(static_cast<float>(e.motion.x), static_cast<float>(e.motion.y));
        }
        break;
      case PUGL_SCROLL:
        in.onScroll(static_cast<float>(e.scroll.dy));
        break;
      case PUGL_POINTER_OUT:
        if (e.crossing.mode == PUGL_CROSSING_UNGRAB) in.onPointerLost();
        break;
      case PUGL_FOCUS_OUT:
        in.onPointerLost();
        break;
      default:
        break;  // key release, focus in, timer and client events are not used
    }
  }
};

PuglStatus VorrelUI_onEvent(PuglView* view, const PuglEvent* event) {
  auto* ui = static_cast<VorrelUI*>(puglGetHandle(view));
  if (!ui || !event) return PUGL_SUCCESS;
  try {
    VorrelUIEvents::dispatch(*ui, *event);
  } catch (...) {
    // A failed lock or allocation skips this event or frame; the next one tries again.
  }
  return PUGL_SUCCESS;
}

namespace {

std::string keyText(const VorrelUI& ui, uint32_t keycode, uint32_t state) {
  Display* d = VorrelUIEvents::display(ui);
  if (!d || (state & (PUGL_MOD_ALT | PUGL_MOD_SUPER))) return {};
  XkbStateRec kb{};
  if (XkbGetState(d, XkbUseCoreKbd, &kb) != Success) return {};
  XKeyEvent key{};
  key.type = KeyPress;
  key.display = d;
  key.keycode = keycode;
  // Shift from the event; Caps Lock, the third level (AltGr) and the layout group as the keyboard stands now.
  key.state = ((state & PUGL_MOD_SHIFT) ? ShiftMask : 0u) | (kb.locked_mods & LockMask) | (kb.mods & Mod5Mask) |
              XkbBuildCoreState(0, kb.group);
  char bytes[8];
  KeySym sym = NoSymbol;
  XLookupString(&key, bytes, sizeof bytes, &sym, nullptr);
  return sym == NoSymbol ? std::string() : vrui::keysymText(static_cast<uint32_t>(sym));
}

}  // namespace
