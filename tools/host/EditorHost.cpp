// A top-level X11 window that parents a plug-in's editor, as a DAW's plug-in window would.
#include "EditorHost.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace vhost {

namespace {

// libpng reports failure by longjmp: nothing with a destructor lives in this frame.
bool encodePng(png_structp png, png_infop info, FILE* f, const Image& image) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) png_write_row(png, image.at(0, y));
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

bool writePng(const std::string& path, const Image& image, std::string& error) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) {
    error = "cannot write " + path;
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool good = png && info && encodePng(png, info, f, image);
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  const bool closed = std::fclose(f) == 0;
  if (!good || !closed) error = "PNG writing failed for " + path;
  return good && closed;
}

EditorHost::EditorHost(Instance& instance) : inst(instance) {
  display = XOpenDisplay(nullptr);
  if (instance.ok())
    gui = static_cast<const clap_plugin_gui_t*>(instance.get()->get_extension(instance.get(), CLAP_EXT_GUI));
}

EditorHost::~EditorHost() {
  close();
  if (display) XCloseDisplay(display);
}

bool EditorHost::open(std::string& error, int w, int h) {
  if (!ok()) {
    error = display ? "the plug-in has no gui extension" : "no X display (is DISPLAY set?)";
    return false;
  }
  const clap_plugin_t* p = inst.get();
  if (!gui->is_api_supported(p, CLAP_WINDOW_API_X11, false) || !gui->create(p, CLAP_WINDOW_API_X11, false)) {
    error = "the plug-in offers no embedded X11 editor";
    return false;
  }
  created = true;
  uint32_t gw = 0;
  uint32_t gh = 0;
  if (w > 0 && h > 0) {
    gw = static_cast<uint32_t>(w);
    gh = static_cast<uint32_t>(h);
  } else if (!gui->get_size(p, &gw, &gh) || gw == 0 || gh == 0) {
    gw = 960;
    gh = 660;
  }
  const int screen = DefaultScreen(display);
  parent = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0, gw, gh, 0, BlackPixel(display, screen),
                               BlackPixel(display, screen));
  XStoreName(display, parent, "vorrel-host");
  Atom del = XInternAtom(display, "WM_DELETE_WINDOW", False);
  deleteAtom = del;
  XSetWMProtocols(display, parent, &del, 1);
  XSelectInput(display, parent, StructureNotifyMask);
  XMapWindow(display, parent);
  XSync(display, False);  // the plug-in's own connection must find the window already there
  const clap_window_t window{CLAP_WINDOW_API_X11, {.x11 = parent}};
  if (!gui->set_parent(p, &window)) {
    error = "the plug-in refused our window";
    return false;
  }
  gui->show(p);
  seenRequests = inst.host().guiResizeRequests.load();
  return true;
}

void EditorHost::close() {
  if (created && inst.ok()) gui->destroy(inst.get());
  created = false;
  if (display && parent) {
    XDestroyWindow(display, parent);
    XSync(display, False);
  }
  parent = 0;
}

void EditorHost::handleEvents() {
  while (display && XPending(display) > 0) {
    XEvent ev;
    XNextEvent(display, &ev);
    if (ev.type == ClientMessage && ev.xclient.window == parent &&
        static_cast<unsigned long>(ev.xclient.data.l[0]) == deleteAtom)
      userClosed = true;
  }
}

void EditorHost::pump(double seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  do {
    handleEvents();
    inst.host().pump(inst.get());
    const int requests = inst.host().guiResizeRequests.load();
    if (requests != seenRequests) {
      seenRequests = requests;
      if (followResizes && parent)
        userResize(static_cast<int>(inst.host().guiRequestedW.load()),
                   static_cast<int>(inst.host().guiRequestedH.load()));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(4));
  } while (std::chrono::steady_clock::now() < end);
}

bool EditorHost::waitForPixel(int x, int y, uint32_t rgb, double timeoutSeconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
  while (std::chrono::steady_clock::now() < end) {
    pump(0.05);
    Image image;
    if (!capture(image) || x < 0 || y < 0 || x >= image.width || y >= image.height) continue;
    const uint8_t* px = image.at(x, y);
    if ((static_cast<uint32_t>(px[0]) << 16 | static_cast<uint32_t>(px[1]) << 8 | px[2]) == rgb) return true;
  }
  return false;
}

void EditorHost::userResize(int w, int h) {
  if (!ok() || !parent) return;
  uint32_t aw = static_cast<uint32_t>(w);
  uint32_t ah = static_cast<uint32_t>(h);
  if (gui->can_resize(inst.get())) gui->adjust_size(inst.get(), &aw, &ah);
  XResizeWindow(display, parent, aw, ah);
  XSync(display, False);
  gui->set_size(inst.get(), aw, ah);
}

void EditorHost::resizeParent(int w, int h) {
  if (!display || !parent) return;
  XResizeWindow(display, parent, static_cast<unsigned>(w), static_cast<unsigned>(h));
  XSync(display, False);
}

bool EditorHost::capture(Image& image) {
  if (!display || !parent) return false;
  XWindowAttributes attr{};
  if (!XGetWindowAttributes(display, parent, &attr)) return false;
  // Read through the root window: the editor's GL child has a visual of its own, which a read of our window
  // leaves out.
  int rx = 0;
  int ry = 0;
  Window child = 0;
  XTranslateCoordinates(display, parent, attr.root, 0, 0, &rx, &ry, &child);
  XImage* img = XGetImage(display, attr.root, rx, ry, static_cast<unsigned>(attr.width),
                          static_cast<unsigned>(attr.height), AllPlanes, ZPixmap);
  if (!img) return false;
  image.width = attr.width;
  image.height = attr.height;
  image.rgb.resize(static_cast<size_t>(attr.width) * static_cast<size_t>(attr.height) * 3);
  for (int y = 0; y < attr.height; ++y) {
    for (int x = 0; x < attr.width; ++x) {
      const unsigned long px = XGetPixel(img, x, y);
      uint8_t* out = image.rgb.data() + (static_cast<size_t>(y) * attr.width + x) * 3;
      out[0] = static_cast<uint8_t>((px >> 16) & 0xFF);  // 24-bit TrueColor: 0xRRGGBB
      out[1] = static_cast<uint8_t>((px >> 8) & 0xFF);
      out[2] = static_cast<uint8_t>(px & 0xFF);
    }
  }
  XDestroyImage(img);
  return true;
}

std::vector<unsigned long> EditorHost::editorWindows() {
  std::vector<unsigned long> out;
  if (!display || !parent) return out;
  Window root = 0;
  Window up = 0;
  Window* children = nullptr;
  unsigned int n = 0;
  if (XQueryTree(display, parent, &root, &up, &children, &n)) {
    for (unsigned int i = 0; i < n; ++i) out.push_back(children[i]);
  }
  if (children) XFree(children);
  return out;
}

void EditorHost::sendCloseToEditor() {
  for (unsigned long w : editorWindows()) {
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = static_cast<long>(deleteAtom);
    XSendEvent(display, w, False, NoEventMask, &ev);
  }
  XSync(display, False);
}

void EditorHost::destroyParent() {
  if (!display || !parent) return;
  XDestroyWindow(display, parent);
  XSync(display, False);
  parent = 0;
}

}  // namespace vhost
