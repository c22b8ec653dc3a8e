// Our host's side of a plug-in editor: a top-level X11 window as the parent, the gui calls in CLAP's order,
// the main loop that serves the plug-in's callbacks, and reading the window back as pixels.
#pragma once

#include "ClapHost.h"

#include <clap/ext/gui.h>

#include <cstdint>
#include <string>
#include <vector>

typedef struct _XDisplay Display;

namespace vhost {

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // rows top to bottom, 3 bytes per pixel
  const uint8_t* at(int x, int y) const { return rgb.data() + (static_cast<size_t>(y) * width + x) * 3; }
};

bool writePng(const std::string& path, const Image& image, std::string& error);

class EditorHost {
 public:
  // Opens its own connection to the X server named by DISPLAY; ok() is false without one.
  explicit EditorHost(Instance& instance);
  ~EditorHost();
  EditorHost(const EditorHost&) = delete;
  EditorHost& operator=(const EditorHost&) = delete;

  bool ok() const { return display != nullptr && gui != nullptr; }
  // gui.create, then a parent window of the plug-in's size (or exactly w x h when given), set_parent, show.
  bool open(std::string& error, int w = 0, int h = 0);
  // gui.destroy (joins the editor's thread), then our window goes.
  void close();
  // The host's main loop for a while: X events of our window, the plug-in's main-thread callbacks and, when
  // followResizes is set, its resize requests.
  void pump(double seconds);
  // Pump until the editor's window has drawn the colour at layout-free window position (x, y) or time runs out.
  bool waitForPixel(int x, int y, uint32_t rgb, double timeoutSeconds);
  // Resize our window as a user would: adjust_size, then set_size with what the plug-in accepts.
  void userResize(int w, int h);
  // Resize our window without asking the plug-in, as a careless host would.
  void resizeParent(int w, int h);
  bool capture(Image& image);

  // Test hooks: the plug-in's child windows, a window-manager close sent to the editor, the parent destroyed
  // behind the plug-in's back.
  std::vector<unsigned long> editorWindows();
  void sendCloseToEditor();
  void destroyParent();
  unsigned long parentWindow() const { return parent; }
  bool closedByUser() const { return userClosed; }

  bool followResizes = true;
  const clap_plugin_gui_t* gui = nullptr;

 private:
  void handleEvents();

  Instance& inst;
  Display* display = nullptr;
  unsigned long parent = 0;
  unsigned long deleteAtom = 0;
  int seenRequests = 0;
  bool created = false;
  bool userClosed = false;
};

}  // namespace vhost
