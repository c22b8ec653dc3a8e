// The editor window: a pugl child of the host's window, drawn with NanoVG on a thread of its own at 60 frames/s.
#pragma once

#include "HitMap.h"
#include "PanelState.h"
#include "PanelView.h"
#include "ParentFollower.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

class Vorrel;
struct NVGcontext;
typedef struct PuglWorldImpl PuglWorld;
typedef struct PuglViewImpl PuglView;

class VorrelUI {
 public:
  // What the UI thread starts from: the host's X11 parent window and the size to open at.
  struct InitData {
    uintptr_t parent = 0;
    int width = 960;
    int height = 660;
  };

  VorrelUI() = default;
  ~VorrelUI();
  VorrelUI(const VorrelUI&) = delete;
  VorrelUI& operator=(const VorrelUI&) = delete;

  // Host main thread. Open starts the UI thread unless it runs; Close stops and joins it. Neither throws.
  void Open(uintptr_t parent, int width, int height, Vorrel* shell);
  void Close();
  // Any thread: the UI thread has not ended yet.
  bool isRunning() const { return running.load(std::memory_order_acquire); }

  // UI thread: pointer, keys and typed text (input code).
  void onPress(float x, float y, bool doubleClick);
  void onDrag(float x, float y, bool fine);
  void onMotion(float x, float y);
  void onRelease();
  bool onKey(uint32_t key, uint32_t modifiers);
  void onText(const char* utf8);
  bool lastClickWasRecent(uint32_t timeMs, float x, float y);
  // UI thread: the resize grip, started by a press on it at window x and followed until release.
  void beginGripDrag(float x);
  void gripDragTo(float x);
  void endGripDrag() { resizeDrag = false; }

 private:
  friend struct VorrelUIEvents;

  void threadFunc(InitData init);
  void runFrames(const InitData& init);
  bool setup(uintptr_t parent, int width, int height);
  void teardown();
  void render();
  void followParentSize();
  void externalSizeTick(int w, int h);

  // UI thread only, unless said otherwise.
  PuglWorld* world = nullptr;
  PuglView* view = nullptr;
  NVGcontext* vg = nullptr;
  vrui::PanelFonts fonts;
  std::atomic<bool> running{false};  // host main thread and UI thread
  std::thread thread;                // host main thread
  Vorrel* plug = nullptr;            // set by Open before the thread starts, cleared by Close after the join
  vrui::HitMap hits;
  vrui::PanelView panel;       // hover, menus, edits, tour, held key: what the panel keeps between frames
  vrui::PanelState lastState;  // the last state built, redrawn when the shell cannot be read for a frame
  bool haveState = false;
  bool knobDrag = false;
  int32_t dragParam = -1;
  bool dragHorizontal = false;
  float dragRange = 160.0f;
  float pressX = 0.0f;
  float pressY = 0.0f;
  float dragStartValue = 0.0f;
  float viewW = 960.0f;
  float viewH = 660.0f;
  float fullW = 960.0f;
  float fullH = 660.0f;
  float scale = 1.0f;
  float offsetX = 0.0f;
  float offsetY = 0.0f;
  bool resizeDrag = false;
  float resizeStartX = 0.0f;
  float resizeStartScale = 1.0f;
  int32_t resizeLastW = 0;
  int32_t resizeLastH = 0;
  vrui::ParentFollower follower;  // parent sizes seen and applied, stable frames, followState
  uint32_t lastClickMs = 0;
  float lastClickX = -1e9f;
  float lastClickY = -1e9f;
  bool windowLost = false;  // our X window vanished with a parent the host destroyed first
};
