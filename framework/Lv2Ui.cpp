// The LV2 UI: the editor opened through the plug-in's window hooks, as the CLAP gui extension opens it, with the
// host told of every gesture and every size the editor settles on from the idle callback.
#include "Lv2Ui.h"

#include "Lv2Adapter.h"
#include "Lv2Ports.h"
#include "Plugin.h"

#include <lv2/instance-access/instance-access.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>

namespace vfw {

// Friend of Plugin: drains the outgoing parameter gestures and the editor's resize request, as the CLAP adapter does.
struct Lv2UiAdapter {
  static Lv2UiFrameMaker& frameMaker() {
    static Lv2UiFrameMaker maker = nullptr;  // set once by the module's entry, before any UI exists
    return maker;
  }

  // Host UI thread only.
  struct Ui {
    Plugin* plug = nullptr;
    uint32_t firstControl = 0;
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Resize* hostResize = nullptr;
    std::unique_ptr<Lv2UiFrame> frame;
    int frameW = 0, frameH = 0;
  };

  static LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                                  LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                                  const LV2_Feature* const* features) {
    void* instanceHandle = nullptr;
    uintptr_t parent = 0;
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Resize* resize = nullptr;
    for (int i = 0; features && features[i]; ++i) {
      const char* uri = features[i]->URI;
      if (!std::strcmp(uri, LV2_INSTANCE_ACCESS_URI)) instanceHandle = features[i]->data;
      if (!std::strcmp(uri, LV2_UI__parent)) parent = reinterpret_cast<uintptr_t>(features[i]->data);
      if (!std::strcmp(uri, LV2_UI__touch)) touch = static_cast<const LV2UI_Touch*>(features[i]->data);
      if (!std::strcmp(uri, LV2_UI__resize)) resize = static_cast<const LV2UI_Resize*>(features[i]->data);
    }
    // The editor is the plug-in's own: without the instance there is nothing to show, and no crash either.
    Plugin* plug = instanceHandle ? lv2PluginOf(instanceHandle, pluginUri) : nullptr;
    const Lv2UiFrameMaker maker = frameMaker();
    if (!plug || !parent || !write || !widget || !maker || !plug->GetConfig().plugHasUI) return nullptr;
    auto* ui = new (std::nothrow) Ui;
    if (!ui) return nullptr;
    ui->plug = plug;
    ui->firstControl = lv2Ports(plug->GetConfig()).firstControl;
    ui->write = write;
    ui->controller = controller;
    ui->touch = touch && touch->touch ? touch : nullptr;
    ui->hostResize = resize && resize->ui_resize ? resize : nullptr;
    ui->frameW = std::max(1, plug->GetEditorWidth());
    ui->frameH = std::max(1, plug->GetEditorHeight());
    ui->frame.reset(maker(parent, ui->frameW, ui->frameH));
    if (!ui->frame) {
      delete ui;
      return nullptr;
    }
    plug->OpenWindow(reinterpret_cast<void*>(ui->frame->window()));
    followEditorSize(*ui);
    *widget = reinterpret_cast<LV2UI_Widget>(ui->frame->window());
    return ui;
  }

  static void cleanup(LV2UI_Handle h) {
    Ui* ui = static_cast<Ui*>(h);
    ui->plug->CloseWindow();  // joins the editor's thread before its parent goes
    ui->frame.reset();
    delete ui;
  }

  // The editor reads the instance itself; the host's echo of our own port writes needs nothing.
  static void portEvent(LV2UI_Handle, uint32_t, uint32_t, uint32_t, const void*) {}

  // The frame and the host follow the size the plug-in reports for its editor.
  static void followEditorSize(Ui& ui) {
    const int w = std::max(1, ui.plug->GetEditorWidth());
    const int h = std::max(1, ui.plug->GetEditorHeight());
    if (w == ui.frameW && h == ui.frameH) return;
    ui.frameW = w;
    ui.frameH = h;
    ui.frame->resize(w, h);
    if (ui.hostResize) ui.hostResize->ui_resize(ui.hostResize->handle, w, h);
  }

  // Gestures as the CLAP adapter sends them, in the same order: an end that came first, begin, value, end.
  static void drainGestures(Ui& ui) {
    Plugin& plug = *ui.plug;
    for (int i = 0; i < plug.NParams(); ++i) {
      const uint32_t bits = plug.pendingOut[static_cast<size_t>(i)].exchange(0, std::memory_order_acq_rel);
      if (!bits) continue;
      const uint32_t port = ui.firstControl + static_cast<uint32_t>(i);
      const auto touch = [&](bool grabbed) {
        if (ui.touch) ui.touch->touch(ui.touch->handle, port, grabbed);
      };
      const bool begins = bits & Plugin::kOutBegin;
      if (begins && (bits & Plugin::kOutEndFirst)) touch(false);
      if (begins) touch(true);
      if (bits & Plugin::kOutValue) {
        const float v = static_cast<float>(plug.GetParam(i)->Value());
        ui.write(ui.controller, port, sizeof v, 0, &v);
      }
      if (bits & (begins ? Plugin::kOutEndLast : Plugin::kOutEndFirst)) touch(false);
    }
  }

  static int idle(LV2UI_Handle h) {
    Ui& ui = *static_cast<Ui*>(h);
    drainGestures(ui);
    ui.plug->mainRequests.fetch_and(~static_cast<uint32_t>(Plugin::kRequestGuiResize), std::memory_order_acq_rel);
    followEditorSize(ui);
    return 0;
  }

  // The host resized its window: the plug-in's size rule decides, and the editor follows its frame.
  static int uiResize(LV2UI_Feature_Handle h, int w, int hgt) {
    Ui& ui = *static_cast<Ui*>(h);
    int cw = std::clamp(w, 1, 1 << 15);
    int ch = std::clamp(hgt, 1, 1 << 15);
    ui.plug->ConstrainEditorResize(cw, ch);
    ui.plug->SetEditorSize(cw, ch);
    ui.frameW = cw;
    ui.frameH = ch;
    ui.frame->resize(cw, ch);
    return 0;
  }

  static const void* extensionData(const char* uri) {
    static const LV2UI_Idle_Interface idleInterface{idle};
    static const LV2UI_Resize resizeInterface{nullptr, uiResize};
    if (!uri) return nullptr;
    if (!std::strcmp(uri, LV2_UI__idleInterface)) return &idleInterface;
    if (!std::strcmp(uri, LV2_UI__resize)) return &resizeInterface;
    return nullptr;
  }
};

const LV2UI_Descriptor* lv2UiDescriptor(const char* uri, Lv2UiFrameMaker maker) {
  static const LV2UI_Descriptor desc{uri, Lv2UiAdapter::instantiate, Lv2UiAdapter::cleanup, Lv2UiAdapter::portEvent,
                                     Lv2UiAdapter::extensionData};
  if (!Lv2UiAdapter::frameMaker()) Lv2UiAdapter::frameMaker() = maker;
  return &desc;
}

}  // namespace vfw
