// The LV2 X11 UI of a vfw::Plugin: opens the plug-in's own editor (instance-access) inside the host's window and
// hands the editor's parameter gestures to the host as ui:touch and port writes.
#pragma once

#include <lv2/ui/ui.h>

#include <cstdint>

namespace vfw {

// The window the editor opens in: a child of the host's parent, so the host has one widget to embed and resize.
// Made, resized and destroyed on the host's UI thread. Window code implements it; the framework includes no X11.
class Lv2UiFrame {
 public:
  virtual ~Lv2UiFrame() = default;
  virtual uintptr_t window() const = 0;
  virtual void resize(int w, int h) = 0;
};
// Null when no window can be made.
using Lv2UiFrameMaker = Lv2UiFrame* (*)(uintptr_t parent, int w, int h);

// The module's one UI for the plug-in of lv2Descriptor. uri must have static storage; the first call fixes it.
const LV2UI_Descriptor* lv2UiDescriptor(const char* uri, Lv2UiFrameMaker maker);

}  // namespace vfw
