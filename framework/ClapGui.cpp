// The CLAP gui extension: an embedded X11 editor whose size keeps the plug-in's aspect ratio.
#include "ClapAdapter.h"
#include "Plugin.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace vfw {

struct ClapGuiCalls {
  static Plugin* self(const clap_plugin_t* p) { return static_cast<Plugin*>(p->plugin_data); }

  static bool isApiSupported(const clap_plugin_t* p, const char* api, bool isFloating) {
    return self(p)->GetConfig().plugHasUI && api && !std::strcmp(api, CLAP_WINDOW_API_X11) && !isFloating;
  }
  static bool getPreferredApi(const clap_plugin_t*, const char** api, bool* isFloating) {
    if (api) *api = CLAP_WINDOW_API_X11;
    if (isFloating) *isFloating = false;
    return true;
  }
  static bool create(const clap_plugin_t* p, const char* api, bool isFloating) {
    Plugin* plug = self(p);
    const Plugin::HostMainCall scope(plug);
    if (!isApiSupported(p, api, isFloating)) return false;
    if (plug->gui.shown) plug->CloseWindow();  // a second create without destroy starts afresh
    plug->gui = {};
    plug->gui.created = true;
    return true;
  }
  static void destroy(const clap_plugin_t* p) {
    Plugin* plug = self(p);
    const Plugin::HostMainCall scope(plug);
    if (plug->gui.shown) plug->CloseWindow();  // joins the editor's thread
    plug->gui = {};
  }
  // X11 sizes are in pixels; the editor follows whatever parent it is given.
  static bool setScale(const clap_plugin_t*, double) { return false; }
  static bool getSize(const clap_plugin_t* p, uint32_t* w, uint32_t* h) {
    const Plugin* plug = self(p);
    if (!w || !h) return false;
    *w = static_cast<uint32_t>(std::max(1, plug->GetEditorWidth()));
    *h = static_cast<uint32_t>(std::max(1, plug->GetEditorHeight()));
    return true;
  }
  static bool canResize(const clap_plugin_t* p) { return self(p)->GetConfig().hostResize; }
  static bool getResizeHints(const clap_plugin_t* p, clap_gui_resize_hints_t* hints) {
    const Config& c = self(p)->GetConfig();
    if (!hints || !c.hostResize) return false;
    hints->can_resize_horizontally = true;
    hints->can_resize_vertically = true;
    hints->preserve_aspect_ratio = true;
    hints->aspect_ratio_width = static_cast<uint32_t>(std::max(1, c.plugWidth));
    hints->aspect_ratio_height = static_cast<uint32_t>(std::max(1, c.plugHeight));
    return true;
  }
  static bool adjustSize(const clap_plugin_t* p, uint32_t* w, uint32_t* h) {
    if (!w || !h) return false;
    int iw = static_cast<int>(std::min<uint32_t>(*w, 1u << 20));
    int ih = static_cast<int>(std::min<uint32_t>(*h, 1u << 20));
    self(p)->ConstrainEditorResize(iw, ih);  // the written-back pair counts, not the result
    *w = static_cast<uint32_t>(std::max(1, iw));
    *h = static_cast<uint32_t>(std::max(1, ih));
    return true;
  }
  static bool setSize(const clap_plugin_t* p, uint32_t w, uint32_t h) {
    if (!adjustSize(p, &w, &h)) return false;
    self(p)->SetEditorSize(static_cast<int>(w), static_cast<int>(h));
    return true;
  }
  // The editor opens as soon as it has a parent: some hosts never call show.
  static bool setParent(const clap_plugin_t* p, const clap_window_t* window) {
    Plugin* plug = self(p);
    const Plugin::HostMainCall scope(plug);
    if (!plug->gui.created || !window || !window->api || std::strcmp(window->api, CLAP_WINDOW_API_X11) != 0 ||
        !window->x11)
      return false;
    if (plug->gui.shown) plug->CloseWindow();
    plug->gui.parent = static_cast<uintptr_t>(window->x11);
    plug->OpenWindow(reinterpret_cast<void*>(plug->gui.parent));
    plug->gui.shown = true;
    return true;
  }
  static bool setTransient(const clap_plugin_t*, const clap_window_t*) { return false; }
  static void suggestTitle(const clap_plugin_t*, const char*) {}
  static bool show(const clap_plugin_t* p) {
    Plugin* plug = self(p);
    const Plugin::HostMainCall scope(plug);
    if (!plug->gui.created || !plug->gui.parent) return false;
    if (!plug->gui.shown) plug->OpenWindow(reinterpret_cast<void*>(plug->gui.parent));
    plug->gui.shown = true;
    return true;
  }
  // A hidden editor is closed: no thread drawing 60 frames a second that nobody sees.
  static bool hide(const clap_plugin_t* p) {
    Plugin* plug = self(p);
    const Plugin::HostMainCall scope(plug);
    if (!plug->gui.created) return false;
    if (plug->gui.shown) plug->CloseWindow();
    plug->gui.shown = false;
    return true;
  }
};

const void* ClapAdapter::guiExtension() {
  static const clap_plugin_gui_t gui{
      ClapGuiCalls::isApiSupported, ClapGuiCalls::getPreferredApi,
      ClapGuiCalls::create,         ClapGuiCalls::destroy,
      ClapGuiCalls::setScale,       ClapGuiCalls::getSize,
      ClapGuiCalls::canResize,      ClapGuiCalls::getResizeHints,
      ClapGuiCalls::adjustSize,     ClapGuiCalls::setSize,
      ClapGuiCalls::setParent,      ClapGuiCalls::setTransient,
      ClapGuiCalls::suggestTitle,   ClapGuiCalls::show,
      ClapGuiCalls::hide,
  };
  return &gui;
}

}  // namespace vfw
