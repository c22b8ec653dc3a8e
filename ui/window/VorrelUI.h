// The editor window: a pugl child of the host's window, drawn with NanoVG on a thread of its own; the
// loop runs every 1/60 s and draws only when the panel would look different.
#pragma once

#include "DrawRecorder.h"
#include "EditorLink.h"
#include "FrameChange.h"
#include "FrameTicks.h"
#include "HitMap.h"
#include "PanelInput.h"
#include "PanelLayer.h"
#include "PanelState.h"
#include "PanelView.h"
#include "ParentFollower.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

struct NVGcontext;
typedef struct PuglWorldImpl PuglWorld;
typedef struct PuglViewImpl PuglView;

class VorrelUI final : public vrui::WindowOps {
 public:
  // What the UI thread starts from: the host's X11 parent window and the size to open at.
  struct InitData {
    uintptr_t parent = 0;
    int width = 960;
    int height = 660;
  };

  VorrelUI();
  ~VorrelUI() override;
  VorrelUI(const VorrelUI&) = delete;
  VorrelUI& operator=(const VorrelUI&) = delete;

  // Host main thread. Open starts the UI thread unless it runs, on the plug-in reached through link, which must live
  // until Close; Close stops and joins the thread. Neither throws.
  void Open(uintptr_t parent, int width, int height, vrui::EditorLink* link);
  void Close();
  // Any thread: the UI thread has not ended yet.
  bool isRunning() const { return running.load(std::memory_order_acquire); }

  // UI thread: the resize grip, dragged from startX at startScale to window x; the panel input says when.
  void gripDragTo(float x, float startX, float startScale) override;
  // UI thread: a name edit begins, so typed keys come to this window.
  void grabKeyboardFocus() override;

 private:
  friend struct VorrelUIEvents;

  void threadFunc(InitData init);
  void runFrames(const InitData& init);
  bool setup(uintptr_t parent, int width, int height);
  void teardown();
  void tick();
  bool refreshState();
  void updateMapping();
  void render();
  void drawPass(vrui::HitMap* map, const vrui::PixelRect* clip);
  bool drawChanges(int w, int h);
  void followParentSize();
  void externalSizeTick(int w, int h);
  void syncView();

  // UI thread only, unless said otherwise.
  PuglWorld* world = nullptr;
  PuglView* view = nullptr;
  NVGcontext* vg = nullptr;
  vrui::PanelFonts fonts;
  std::atomic<bool> running{false};  // host main thread and UI thread
  std::thread thread;                // host main thread
  vrui::EditorLink* link = nullptr;  // set by Open before the thread starts, cleared by Close after the join
  vrui::HitMap hits;
  vrui::PanelView panel;                       // what the frame builder reads, copied from the input each frame
  vrui::PanelInput input;                      // hover, menus, edits, tour, holds: kept between frames
  vrui::PanelState lastState;  // the last state built, redrawn when the shell cannot be read for a frame
  bool haveState = false;
  vrui::PanelState drawnState;  // what the frame on screen shows, and at which size
  vrui::FrameSize drawnSize;
  bool drawnValid = false;
  vrui::DrawRecorder recorder;  // the draw calls of the frame on screen, installed on vg
  vrui::PanelLayer layer;       // the frame on screen, so a changed frame rebuilds only what changed
  float viewW = 960.0f;
  float viewH = 660.0f;
  float fullW = 960.0f;
  float fullH = 660.0f;
  float scale = 1.0f;
  float offsetX = 0.0f;
  float offsetY = 0.0f;
  bool resizeDrag = false;  // mirrors the input's grip drag; parent following waits while it runs
  int32_t resizeLastW = 0;
  int32_t resizeLastH = 0;
  vrui::ParentFollower follower;  // parent sizes seen and applied, stable frames, followState
  bool windowLost = false;        // our X window vanished with a parent the host destroyed first
  unsigned long hostParent = 0;   // the X window we sit in, 0 when none or the root
  int parentCheck = 0;            // frames until the parent is looked up again
  int geometryCheck = 0;          // frames until the sizes are read again
  unsigned seenParentW = 0, seenParentH = 0, seenViewW = 0, seenViewH = 0;  // the last reading, 0 for none
  vrui::FrameTicks frameTicks;    // 1/60 s frames between passes of the loop
  std::chrono::steady_clock::time_point lastTick{};
};
