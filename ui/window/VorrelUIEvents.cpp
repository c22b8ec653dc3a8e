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

}  // namespace

struct VorrelUIEvents {
  static void realize(VorrelUI& ui) {
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
    const bool dragging = ui.knobDrag || ui.panel.heldKey >= 0 || ui.resizeDrag;
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
        ui.onKey(e.key.key, e.key.state);
        break;
      case PUGL_TEXT: {
        const auto first = static_cast<unsigned char>(e.text.string[0]);
        if (ui.panel.editKind != 0 && first >= 32 && first != 127) ui.onText(e.text.string);
        break;
      }
      case PUGL_BUTTON_PRESS:
        if (e.button.button != kLeftButton || dragging) break;
        {
          const auto x = static_cast<float>(e.button.x);
          const auto y = static_cast<float>(e.button.y);
          const bool twice = ui.lastClickWasRecent(static_cast<uint32_t>(e.button.time * 1000.0), x, y);
          ui.onPress(x, y, twice);
        }
        break;
      case PUGL_BUTTON_RELEASE:
        if (e.button.button == kLeftButton) ui.onRelease();
        break;
      case PUGL_MOTION:
        if (dragging) {
          ui.onDrag(static_cast<float>(e.motion.x), static_cast<float>(e.motion.y), e.motion.state & PUGL_MOD_SHIFT);
        } else {
          ui.onMotion(static_cast<float>(e.motion.x), static_cast<float>(e.motion.y));
        }
        break;
      default:
        break;  // key release, scroll, focus, crossing, timer and client events are not used
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
