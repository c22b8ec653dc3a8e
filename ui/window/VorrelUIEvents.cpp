// The pugl event callback: where each window event goes. Nothing thrown here may cross pugl's C frames.
#include "EmbeddedFonts.h"
#include "GlLoader.h"
#include "PuglApi.h"
#include "VorrelUI.h"

#include <nanovg.h>
#define NANOVG_GL2
#include <nanovg_gl.h>

namespace {

constexpr uint32_t kLeftButton = 0;  // pugl counts buttons from 0: left, right, middle

// pugl's modifier bits as the panel input names them.
uint32_t modifiers(uint32_t state) {
  return ((state & PUGL_MOD_SHIFT) ? vrui::keys::kModShift : 0u) |
         ((state & PUGL_MOD_CTRL) ? vrui::keys::kModCtrl : 0u);
}

}  // namespace

struct VorrelUIEvents {
  static void realize(VorrelUI& ui) {
    ui.drawnValid = false;  // a new context holds no frame yet
    if (!vrui::loadGlFunctions()) return;  // no context, nothing drawn
    ui.vg = nvgCreateGL2(NVG_ANTIALIAS | NVG_STENCIL_STROKES);
    if (ui.vg) ui.fonts = vrui::loadEmbeddedFonts(ui.vg);
  }

  static void unrealize(VorrelUI& ui) {
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
        in.onKey(e.key.key, modifiers(e.key.state));
        break;
      case PUGL_TEXT: {
        const auto first = static_cast<unsigned char>(e.text.string[0]);
        if (in.editKind != 0 && first >= 32 && first != 127) in.onText(e.text.string);
        break;
      }
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
