// An offscreen GL 2.1 context through GLX on Xvfb (Mesa's software rasteriser), drawn into with NanoVG's GL2
// back-end, as the editor window draws; pixels are read back with glReadPixels.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#define NANOVG_GL2_IMPLEMENTATION
#include "GlCanvas.h"
#include "nanovg_gl.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace vtest {

struct GlCanvas::Gl {
  Display* dpy = nullptr;
  pid_t xvfb = -1;
  GLXPbuffer surface = 0;
  GLXContext ctx = nullptr;
};

namespace {

// An X server of our own when the environment gives none, on a display number unlikely to be taken.
Display* openDisplay(pid_t& server) {
  if (std::getenv("DISPLAY")) {
    if (Display* d = XOpenDisplay(nullptr)) return d;
  }
  char name[16];
  std::snprintf(name, sizeof name, ":%d", 300 + static_cast<int>(getpid() % 500));
  server = fork();
  if (server == 0) {
    execlp("Xvfb", "Xvfb", name, "-screen", "0", "1024x768x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
    _exit(127);
  }
  for (int i = 0; i < 100 && server > 0; ++i) {
    usleep(50000);
    if (Display* d = XOpenDisplay(name)) return d;
  }
  return nullptr;
}

}  // namespace

GlCanvas::GlCanvas(int width, int height, bool stencilStrokes) : gl(new Gl), w(width), h(height) {
  gl->dpy = openDisplay(gl->xvfb);
  if (!gl->dpy) return;
  const int attrs[] = {GLX_DRAWABLE_TYPE,
                       GLX_PBUFFER_BIT,
                       GLX_RENDER_TYPE,
                       GLX_RGBA_BIT,
                       GLX_RED_SIZE,
                       8,
                       GLX_GREEN_SIZE,
                       8,
                       GLX_BLUE_SIZE,
                       8,
                       GLX_STENCIL_SIZE,
                       8,
                       None};
  int count = 0;
  GLXFBConfig* configs = glXChooseFBConfig(gl->dpy, DefaultScreen(gl->dpy), attrs, &count);
  if (!configs || count < 1) return;
  const int surface[] = {GLX_PBUFFER_WIDTH, width, GLX_PBUFFER_HEIGHT, height, None};
  gl->surface = glXCreatePbuffer(gl->dpy, configs[0], surface);
  gl->ctx = glXCreateNewContext(gl->dpy, configs[0], GLX_RGBA_TYPE, nullptr, True);
  XFree(configs);
  if (!gl->ctx || !glXMakeContextCurrent(gl->dpy, gl->surface, gl->surface, gl->ctx)) return;
  vgCtx = nvgCreateGL2(NVG_ANTIALIAS | (stencilStrokes ? NVG_STENCIL_STROKES : 0));
}

GlCanvas::~GlCanvas() {
  if (vgCtx) nvgDeleteGL2(vgCtx);
  if (gl->dpy) {
    glXMakeContextCurrent(gl->dpy, None, None, nullptr);
    if (gl->ctx) glXDestroyContext(gl->dpy, gl->ctx);
    if (gl->surface) glXDestroyPbuffer(gl->dpy, gl->surface);
    XCloseDisplay(gl->dpy);
  }
  if (gl->xvfb > 0) {
    kill(gl->xvfb, SIGTERM);
    waitpid(gl->xvfb, nullptr, 0);
  }
  delete gl;
}

void GlCanvas::begin() {
  glViewport(0, 0, w, h);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  nvgBeginFrame(vgCtx, static_cast<float>(w), static_cast<float>(h), 1.0f);
}

void GlCanvas::end(bool readBack) {
  nvgEndFrame(vgCtx);
  glFinish();
  if (!readBack) return;
  pixels.assign(static_cast<size_t>(w) * h * 4, 0);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
}

const char* GlCanvas::renderer() const {
  const GLubyte* name = vgCtx ? glGetString(GL_RENDERER) : nullptr;
  return name ? reinterpret_cast<const char*>(name) : "none";
}

void GlCanvas::fixedFunctionQuad() {
  glUseProgram(0);
  glDisable(GL_STENCIL_TEST);
  glDisable(GL_CULL_FACE);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glColor4f(0.5f, 0.3f, 0.2f, 0.9f);
  glBegin(GL_QUADS);
  glVertex2f(-1.0f, -1.0f);
  glVertex2f(1.0f, -1.0f);
  glVertex2f(1.0f, 1.0f);
  glVertex2f(-1.0f, 1.0f);
  glEnd();
}

Pixel GlCanvas::at(int x, int y) const {
  const unsigned char* p = &pixels[(static_cast<size_t>(h - 1 - y) * w + x) * 4];  // GL rows run bottom-up
  return {p[0], p[1], p[2]};
}

}  // namespace vtest
