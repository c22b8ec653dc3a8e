// Pointer and keyboard input of the panel: which control a press hits and what it does, drags and holds, menus,
// two-press deletions, the on-screen keyboard and name editing. Runs on the editor thread only.
#pragma once

#include "Controls.h"
#include "HitMap.h"
#include "InputGeometry.h"
#include "InputHost.h"
#include "Lang.h"
#include "NameEdit.h"
#include "Tour.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vrui {

// One clickable rectangle of the last frame, in layout units, as the drawing records it.
using Hit = HitMap::Entry;

// Key codes and modifier bits as the window library reports them.
namespace keys {
inline constexpr uint32_t kBackspace = 0x08;
inline constexpr uint32_t kReturn = 10;
inline constexpr uint32_t kEnter = 13;
inline constexpr uint32_t kCtrlZ = 26;  // what some layouts deliver for Ctrl+Z
inline constexpr uint32_t kEscape = 0x1B;
inline constexpr uint32_t kDelete = 0x7F;
inline constexpr uint32_t kLeft = 0xE00C;
inline constexpr uint32_t kRight = 0xE00E;
inline constexpr uint32_t kHome = 0xE012;
inline constexpr uint32_t kEnd = 0xE013;
inline constexpr uint32_t kModShift = 1u << 0;
inline constexpr uint32_t kModCtrl = 1u << 1;
}  // namespace keys

// UI note queue codes: note x 256 + kind.
inline constexpr uint32_t kUiNotePress = 0;
inline constexpr uint32_t kUiNoteRelease = 1;
inline constexpr uint32_t kUiNotePressure = 2;

inline constexpr int kBodyParam = 4;        // the body's parameter id
inline constexpr int kFactoryPresets = 85;  // user presets are numbered from here
inline constexpr int kYoursRail = 9;

class PanelInput {
 public:
  explicit PanelInput(InputHost* host = nullptr) : host(host) {}

  void setHost(InputHost* h) { host = h; }
  // Hit rectangles of the last drawn frame, searched from the last added (drawn on top) to the first.
  std::vector<Hit> hits;

  // Window events, positions in window pixels.
  bool lastClickWasRecent(uint32_t ms, float x, float y) { return clicks.recent(ms, x, y); }
  void onPress(float x, float y, bool doubleClick);
  void onDrag(float x, float y, bool fine);
  void onMotion(float x, float y);
  void onRelease();
  // The pointer grab was lost mid-gesture (focus taken, window hidden): every hold ends as on release.
  void onPointerLost();
  // Returns whether the key was used; unused keys go back to the host.
  bool onKey(uint32_t key, uint32_t mods);
  // The scroll wheel over an open menu moves its list by rows (positive dy: up).
  void onScroll(float dy);
  // Text typed while a name is edited; it replaces the key's own text of the same press.
  void onText(const char* utf8);
  // The text a key press types by its key symbol, taken while a name is edited without Ctrl held. The window system
  // may follow the press with a text event (which wins) or, in a host running in the C locale, send none for a
  // letter outside ASCII: flushKeyText, called before the next press and once per frame, inserts it then.
  void onKeyText(const std::string& text, uint32_t mods);
  void flushKeyText();
  // A knob drag, key hold, grip drag or held button is under way: motion goes to onDrag, presses are ignored.
  bool holding() const { return knobDrag || heldKey >= 0 || resizeDrag || bypassHeld; }
  // The hit under a window position, or null.
  const Hit* hitAt(float x, float y) const;

  void beginFieldEdit(int kind, const std::string& text);
  void endFieldEdit(bool commit);
  void setParamFromUI(int id, double normalized);
  void keyPress(int note, float position, float keyHeight = kKeyDepth);
  void keyDragPressure(float layoutY);
  void recallAbsPreset(int number);
  void stepPreset(int direction);
  void markTourSeen();
  // Once per window, on its first frame: the language, the first-run marker and the tour marker.
  void lookUpOnce();
  // Once per drawn frame, ticks frames of 1/60 s after the last: a held key gathers energy from its pressure, up
  // to 3.
  void frameTick(int ticks = 1);

  // Window state this input reads and writes; the frame builder reads it too.
  int32_t hoverCtrl = 0;
  int32_t hoverIndex = -1;
  bool knobDrag = false;
  int32_t dragParam = -1;
  bool dragHorizontal = false;
  float dragRange = kKnobTravel;
  float pressX = 0, pressY = 0;  // window pixels of the press that began the drag
  float dragStartValue = 0;
  int32_t heldKey = -1;
  float heldKeyHeight = kKeyDepth;  // layout height of the held key, for pressure while dragging
  float keyPressure = 0;
  float keyEnergy = 0;
  int32_t selectedPc = 0;
  bool clearArmed = false;
  bool bypassHeld = false;  // the memory is bypassed while "Bypass memory" is held down
  Lang lang = kLangEnglish;
  bool langLoaded = false;
  bool firstRunChecked = false, firstRunDone = false;
  TourState tour;
  bool presetMenuOpen = false;
  int presetCat = 1;
  int presetScroll = 0;  // first row shown of a list that does not fit; the drawing clamps the far end
  bool memMenuOpen = false;
  int memScroll = 0;
  int memDeleteArmed = -1;
  std::string memDeleteName;
  bool bodyMenuOpen = false;
  NameEdit nameEdit;
  std::string pendingKeyText;  // a key's own text waiting for the window system's text event of the same press
  int32_t editKind = 0;  // 0 none, 1 save preset, 2 rename preset, 3 track name, 4 save memory
  int renameIndex = -1;
  int presetDeleteArmed = -1;
  std::string presetDeleteName;
  float scale = 1, offsetX = 0, offsetY = 0;  // layout-to-window mapping of the last frame
  bool resizeDrag = false;
  float resizeStartX = 0, resizeStartScale = 1;

 private:
  float toLayoutX(float x) const { return (x - offsetX) / (scale > 0 ? scale : 1); }
  float toLayoutY(float y) const { return (y - offsetY) / (scale > 0 ? scale : 1); }
  bool validParam(int id) const { return host && id >= 0 && id < host->paramCount(); }
  void setWithGesture(int id, double normalized);
  void pressParam(const Hit& hit, float x, float y, bool doubleClick);
  void pressMenus(const Hit& hit);
  void closeMenus();
  void scrollMenus(int rows);
  bool editKeys(uint32_t key, uint32_t mods);
  void endHolds();

  InputHost* host;
  ClickMemory clicks;
};

}  // namespace vrui
