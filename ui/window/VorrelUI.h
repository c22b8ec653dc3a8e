// The editor window: a pugl child of the host's window, drawn with NanoVG on a thread of its own at 60 frames/s.
#pragma once

#include "InputStub.h"
#include "PanelStub.h"
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

  // UI thread: the panel's state for one frame (panel code).
  void buildState(vrui::PanelState& st);
  // UI thread: pointer and keys (input code).
  void onPress(float x, float y, bool doubleClick);
  void onDrag(float x, float y, bool fine);
  void onMotion(float x, float y);
  void onRelease();
  bool onKey(uint32_t key, uint32_t modifiers);
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
  int32_t hoverCtrl = 0;
  int32_t hoverIndex = -1;
  bool knobDrag = false;
  int32_t dragParam = -1;
  bool dragHorizontal = false;
  float dragRange = 160.0f;
  float pressX = 0.0f;
  float pressY = 0.0f;
  float dragStartValue = 0.0f;
  int32_t heldKey = -1;
  float keyPressure = 0.08f;
  float keyEnergy = 0.0f;
  int32_t selectedPc = 0;
  bool clearArmed = false;
  int lang = 0;
  bool langLoaded = false;
  bool firstRunChecked = false;
  bool firstRunDone = false;
  bool tourChecked = false;
  bool tourSeen = false;
  bool tourActive = false;
  int32_t tourStep = -1;
  bool tourExtended = false;
  bool sympathyEverUp = false;
  bool presetMenuOpen = false;
  int presetCat = 1;
  bool memMenuOpen = false;
  int memDeleteArmed = -1;
  std::string memDeleteName;
  bool bodyMenuOpen = false;
  vrui::NameEdit nameEdit;
  int32_t editKind = 0;
  int renameIndex = -1;
  int presetDeleteArmed = -1;
  std::string presetDeleteName;
  int32_t caretTick = 0;
  int32_t pcFlashSeen = 0;
  int32_t pcFlashFrames = 0;
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
