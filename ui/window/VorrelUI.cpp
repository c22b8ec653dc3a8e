// The window's life: opening and closing from the host, the UI thread's frame loop, parent following, the grip
// and one frame's drawing.
#include "VorrelUI.h"

#include "BuildState.h"
#include "DrawPanel.h"
#include "PuglApi.h"
#include "XErrorGuard.h"

#include <X11/Xlib.h>
#include <nanovg.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>

PuglStatus VorrelUI_onEvent(PuglView* view, const PuglEvent* event);
// NanoVgGl.cpp: keeps GL's scissor test on through the back-end's flushes while true (UI thread).
void nvgKeepGlScissor(bool keep);

namespace {

constexpr double kFrameSeconds = 1.0 / 60.0;
constexpr int kEditorNice = 10;  // 0 normal to 19 least urgent
constexpr int kMinWindowW = 480;
constexpr int kMinWindowH = 330;
constexpr int kParentCheckFrames = 60;   // frames between looks at which window is our parent
constexpr int kGeometryCheckFrames = 4;  // frames between readings of the parent's and the view's sizes

Display* displayOf(PuglWorld* world) { return static_cast<Display*>(puglGetNativeWorld(world)); }

}  // namespace

VorrelUI::VorrelUI() = default;
VorrelUI::~VorrelUI() { Close(); }

void VorrelUI::Open(uintptr_t parent, int width, int height, vrui::EditorLink* shellLink) {
  if (running.load(std::memory_order_acquire)) return;
  if (thread.joinable()) thread.join();  // a thread that ended by itself (window-manager close)
  link = shellLink;
  if (!shellLink) return;
  input = vrui::PanelInput(&shellLink->input());
  resizeDrag = false;
  running.store(true, std::memory_order_release);
  try {
    thread = std::thread(&VorrelUI::threadFunc, this, InitData{parent, width, height});
  } catch (...) {
    // No thread to be had: the host keeps a plug-in without an editor rather than an exception.
    running.store(false, std::memory_order_release);
  }
}

void VorrelUI::Close() {
  running.store(false, std::memory_order_release);
  if (thread.joinable()) thread.join();
  link = nullptr;
}

void VorrelUI::threadFunc(InitData init) {
  // Drawing is the least urgent work in a host: this thread, and the software rasteriser's threads that GL starts
  // from it (they inherit the value), give way to the audio and to the host's own threads. Nice is per thread.
  setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), kEditorNice);
  // Nothing may leave this thread as an exception: that would end the host.
  try {
    runFrames(init);
  } catch (...) {
  }
  try {
    teardown();
  } catch (...) {
  }
  running.store(false, std::memory_order_release);
}

void VorrelUI::runFrames(const InitData& init) {
  if (!setup(init.parent, init.width, init.height)) return;
  // Named once the GL driver has started its own threads, which would otherwise inherit the name.
  pthread_setname_np(pthread_self(), "vorrel-editor");
  using Clock = std::chrono::steady_clock;
  const auto framePeriod = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(kFrameSeconds));
  auto deadline = Clock::now();
  while (running.load(std::memory_order_acquire) && world) {
    try {
      if (!windowLost && !resizeDrag) followParentSize();
    } catch (...) {
      // a failed frame is skipped
    }
    // pugl waits the whole timeout for events and draws after it: aim each wait at the next 1/60 s mark, so
    // frames keep 60 per second whatever one costs; a loop that fell behind starts afresh rather than racing.
    const auto now = Clock::now();
    deadline = std::max(deadline + framePeriod, now);
    puglUpdate(world, std::max(0.002, std::chrono::duration<double>(deadline - now).count()));
    try {
      input.flushKeyText();  // a key press that no text event followed types its own letter
      if (!windowLost) tick();
    } catch (...) {
      // a failed frame is skipped
    }
  }
}

bool VorrelUI::setup(uintptr_t parent, int width, int height) {
  world = puglNewWorld(PUGL_MODULE, 0);
  if (!world) return false;
  vrui::registerEditorDisplay(displayOf(world));
  puglSetClassName(world, "Vorrel");
  view = puglNewView(world);
  if (!view) {
    teardown();
    return false;
  }
  puglSetHandle(view, this);
  puglSetEventFunc(view, VorrelUI_onEvent);
  puglSetBackend(view, puglGlBackend());
  puglSetViewHint(view, PUGL_CONTEXT_VERSION_MAJOR, 2);
  puglSetViewHint(view, PUGL_CONTEXT_VERSION_MINOR, 1);
  puglSetViewHint(view, PUGL_USE_COMPAT_PROFILE, 1);
  puglSetViewHint(view, PUGL_STENCIL_BITS, 8);  // NanoVG fills concave shapes through the stencil
  puglSetViewHint(view, PUGL_DOUBLE_BUFFER, 1);
  puglSetViewHint(view, PUGL_RESIZABLE, 1);
  const auto span = [](int v) { return static_cast<PuglSpan>(std::clamp(v, 1, 65535)); };
  puglSetSizeHint(view, PUGL_MIN_SIZE, span(kMinWindowW), span(kMinWindowH));
  puglSetSizeHint(view, PUGL_DEFAULT_SIZE, span(width), span(height));
  viewW = fullW = static_cast<float>(span(width));
  viewH = fullH = static_cast<float>(span(height));
  if (parent) {
    // A stale or foreign handle from the host: no window rather than one built on nothing.
    XWindowAttributes attr{};
    if (!XGetWindowAttributes(displayOf(world), static_cast<Window>(parent), &attr)) {
      teardown();
      return false;
    }
    puglSetParentWindow(view, static_cast<PuglNativeView>(parent));
  }
  if (puglRealize(view) != PUGL_SUCCESS) {
    teardown();
    return false;
  }
  // Mapped without raising: the stacking inside the host's window is the host's business. The map's first
  // Expose draws the first frame.
  XMapWindow(displayOf(world), static_cast<Window>(puglGetNativeView(view)));
  return true;
}

void VorrelUI::teardown() {
  Display* display = world ? displayOf(world) : nullptr;
  if (view) puglFreeView(view);  // sends the unrealize event, which deletes the NanoVG context
  view = nullptr;
  if (world) puglFreeWorld(world);  // closes the display, which flushes requests that may still fail
  world = nullptr;
  vrui::unregisterEditorDisplay(display);
}

void VorrelUI::followParentSize() {
  Display* display = displayOf(world);
  const Window win = static_cast<Window>(puglGetNativeView(view));
  // The parent is looked up once a second (a host may move us into another window). Each X round trip costs the
  // idle editor CPU.
  if (parentCheck-- <= 0) {
    parentCheck = kParentCheckFrames;
    Window root = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    hostParent = 0;
    if (!XQueryTree(display, win, &root, &hostParent, &children, &count)) {
      windowLost = true;  // gone with its parent: stop touching it until the host closes us
      return;
    }
    if (children) XFree(children);
    if (hostParent == root) hostParent = 0;
  }
  if (!hostParent) return;
  // Sizes are read every fourth frame (15 times a second) and the follower counts its frames on the last reading.
  if (geometryCheck-- <= 0 || !seenParentW) {
    geometryCheck = kGeometryCheckFrames;
    Window root = 0;
    int x = 0, y = 0;
    unsigned pw = 0, ph = 0, vw = 0, vh = 0, border = 0, depth = 0;
    if (!XGetGeometry(display, hostParent, &root, &x, &y, &pw, &ph, &border, &depth) || pw <= 1 || ph <= 1) {
      parentCheck = 0;  // look the parent up again next frame
      seenParentW = 0;
      return;
    }
    if (!XGetGeometry(display, win, &root, &x, &y, &vw, &vh, &border, &depth)) return;
    seenParentW = pw, seenParentH = ph, seenViewW = vw, seenViewH = vh;
  }
  const unsigned pw = seenParentW, ph = seenParentH;
  unsigned vw = seenViewW, vh = seenViewH;
  if (vw != pw || vh != ph) {
    XResizeWindow(display, win, pw, ph);
    XFlush(display);
    geometryCheck = 0;  // see the new size on the next frame
  }
  viewW = static_cast<float>(std::min(pw, vw));
  viewH = static_cast<float>(std::min(ph, vh));
  fullW = static_cast<float>(vw);
  fullH = static_cast<float>(vh);
  externalSizeTick(static_cast<int>(pw), static_cast<int>(ph));
}

void VorrelUI::externalSizeTick(int w, int h) {
  if (resizeDrag || !link) return;
  vrui::EditorSizeHost& size = link->size();
  const auto r = follower.tick(w, h, size.storedWidth(), size.storedHeight());
  switch (r.action) {
    case vrui::ParentFollower::Action::Wait:
      break;
    case vrui::ParentFollower::Action::Follow:
      size.setStored(r.w, r.h);
      size.setCurrent(r.w, r.h);
      size.askHost(r.w, r.h);
      break;
    case vrui::ParentFollower::Action::AskStored:
      size.setCurrent(r.w, r.h);
      size.askHost(size.storedWidth(), size.storedHeight());
      break;
  }
}

void VorrelUI::grabKeyboardFocus() {
  if (view) puglGrabFocus(view);
}

void VorrelUI::gripDragTo(float x, float startX, float startScale) {
  if (!link || !view) return;
  if (!resizeDrag) {
    resizeDrag = true;
    resizeLastW = static_cast<int32_t>(fullW);
    resizeLastH = static_cast<int32_t>(fullH);
  }
  const vrui::GripSize size = vrui::gripSize(startX, startScale, x);
  if (std::abs(size.w - resizeLastW) <= 5 && std::abs(size.h - resizeLastH) <= 5) return;
  resizeLastW = size.w;
  resizeLastH = size.h;
  double factor = puglGetScaleFactor(view);
  if (!(factor > 0.0)) factor = 1.0;
  link->size().requestResize(std::max(1, static_cast<int>(size.w / factor)),
                             std::max(1, static_cast<int>(size.h / factor)));
  Display* display = displayOf(world);
  XResizeWindow(display, static_cast<Window>(puglGetNativeView(view)), static_cast<unsigned>(size.w),
                static_cast<unsigned>(size.h));
  XFlush(display);
}

void VorrelUI::updateMapping() {
  scale = std::min(viewW / vrui::Layout960::kWidth, viewH / vrui::Layout960::kHeight);
  if (!(scale > 0.0f)) scale = 1.0f;
  offsetX = (viewW - vrui::Layout960::kWidth * scale) / 2.0f;
  offsetY = (viewH - vrui::Layout960::kHeight * scale) / 2.0f;
}

// Counts the frames of 1/60 s since the last pass and rebuilds the panel state; false when the shell could not be
// read (its mutex busy), which keeps the last state.
bool VorrelUI::refreshState() {
  input.lookUpOnce();
  const auto now = std::chrono::steady_clock::now();
  const int ticks = lastTick.time_since_epoch().count() == 0
                        ? 1
                        : frameTicks.advance(std::chrono::duration<double>(now - lastTick).count());
  lastTick = now;
  input.frameTick(ticks);
  resizeDrag = input.resizeDrag;
  syncView();
  panel.ticks = ticks;
  vrui::PanelState st;
  if (!vrui::buildState(link->panel(), panel, st)) return false;
  input.memScroll = panel.memScroll;  // clamped to the list by the builder
  input.presetScroll = panel.presetScroll;
  lastState = std::move(st);
  haveState = true;
  return true;
}

void VorrelUI::tick() {
  if (!vg || !link || viewW < 2.0f || viewH < 2.0f) return;
  if (!refreshState() && !haveState) return;
  if (!drawnValid || vrui::frameChanged(drawnState, drawnSize, lastState, {viewW, viewH, fullW, fullH})) puglPostRedisplay(view);
}

void VorrelUI::render() {
  if (!vg || !link || viewW < 2.0f || viewH < 2.0f) return;
  if (!haveState) refreshState();
  if (!haveState) return;
  updateMapping();
  input.scale = scale;  // pointer positions map through the frame on screen
  input.offsetX = offsetX;
  input.offsetY = offsetY;

  // A view taller than what the parent shows keeps the layout aligned with its visible top.
  const int vy = fullH > viewH ? static_cast<int>(fullH - viewH) : 0;
  const int w = static_cast<int>(viewW);
  const int h = static_cast<int>(viewH);
  glClearColor(0.039f, 0.047f, 0.059f, 1.0f);
  try {
    bool fresh = false;
    const bool layered = layer.bind(w, h, fresh);
    if (!layered || fresh || !drawChanges(w, h)) {
      glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
      recorder.begin(vrui::DrawRecorder::Mode::Full);
      if (!layered) glViewport(0, vy, w, h);
      drawPass(&hits, nullptr);
    }
    if (layered) {
      layer.unbind();
      glViewport(0, vy, w, h);
      layer.show();
    }
    input.hits = hits.all();
  } catch (...) {
    layer.unbind();
    recorder.forget();
    drawnValid = false;
    throw;
  }
  // The GL driver may take a new window size only at the swap after it, so the first frame at a new size is drawn
  // once more on the next pass.
  const vrui::FrameSize size{viewW, viewH, fullW, fullH};
  drawnValid = size == drawnSize;
  drawnState = lastState;
  drawnSize = size;
}

// One pass of the panel through NanoVG, clipped to a rectangle of the view when one is given.
void VorrelUI::drawPass(vrui::HitMap* map, const vrui::PixelRect* clip) {
  nvgBeginFrame(vg, viewW, viewH, 1.0f);
  try {
    if (clip) {
      nvgScissor(vg, static_cast<float>(clip->x0), static_cast<float>(clip->y0), static_cast<float>(clip->x1 - clip->x0),
                 static_cast<float>(clip->y1 - clip->y0));
    }
    nvgTranslate(vg, offsetX, offsetY);
    nvgScale(vg, scale, scale);
    vrui::drawPanel(vg, fonts, lastState, map);
  } catch (...) {
    nvgCancelFrame(vg);
    throw;
  }
  nvgEndFrame(vg);
}

// A frame that differs from the layer in a few places: the panel is measured once (which refills the hit map), and
// only the rectangles whose draw calls changed are cleared and drawn again in the layer, each by the calls that reach
// it. False when the whole frame must be drawn.
bool VorrelUI::drawChanges(int w, int h) {
  if (recorder.current().empty()) return false;
  recorder.begin(vrui::DrawRecorder::Mode::Record);
  drawPass(&hits, nullptr);
  const vrui::FrameDiff diff = vrui::diffFrames(recorder.previous(), recorder.current(), w, h);
  if (diff.full) return false;
  glEnable(GL_SCISSOR_TEST);
  for (const vrui::PixelRect& r : diff.rects) {
    glScissor(r.x0, h - r.y1, r.x1 - r.x0, r.y1 - r.y0);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  }
  glDisable(GL_SCISSOR_TEST);
  vrui::HitMap scratch;
  glEnable(GL_SCISSOR_TEST);
  nvgKeepGlScissor(true);
  try {
    for (const vrui::PixelRect& r : diff.rects) {
      glScissor(r.x0, h - r.y1, r.x1 - r.x0, r.y1 - r.y0);
      recorder.begin(vrui::DrawRecorder::Mode::Clip, r);
      drawPass(&scratch, &r);
    }
  } catch (...) {
    nvgKeepGlScissor(false);
    glDisable(GL_SCISSOR_TEST);
    throw;
  }
  nvgKeepGlScissor(false);
  glDisable(GL_SCISSOR_TEST);
  return true;
}

// The frame builder reads the panel view; the input owns those values between frames.
void VorrelUI::syncView() {
  panel.hoverCtrl = input.hoverCtrl;
  panel.hoverIndex = input.hoverIndex;
  panel.selectedPc = input.selectedPc;
  panel.clearArmed = input.clearArmed;
  panel.lang = static_cast<int>(input.lang);
  panel.langLoaded = input.langLoaded;
  panel.firstRunChecked = input.firstRunChecked;
  panel.firstRunDone = input.firstRunDone;
  panel.tourChecked = input.tour.checked;
  panel.tourSeen = input.tour.seen;
  panel.tourActive = input.tour.active;
  panel.tourStep = input.tour.step;
  panel.tourExtended = input.tour.extended;
  panel.presetMenuOpen = input.presetMenuOpen;
  panel.presetCat = input.presetCat;
  panel.presetScroll = input.presetScroll;
  panel.memMenuOpen = input.memMenuOpen;
  panel.memDeleteArmed = input.memDeleteArmed;
  panel.memDeleteName = input.memDeleteName;
  panel.memScroll = input.memScroll;
  panel.bodyMenuOpen = input.bodyMenuOpen;
  panel.renameIndex = input.renameIndex;
  panel.presetDeleteArmed = input.presetDeleteArmed;
  panel.presetDeleteName = input.presetDeleteName;
  panel.editKind = input.editKind;
  panel.editText = input.nameEdit.text;
  panel.caret = input.nameEdit.caret;
  panel.anchor = input.nameEdit.anchor;
  panel.heldKey = input.heldKey;
  panel.keyPressure = input.keyPressure;
  panel.keyEnergy = input.keyEnergy;
}
