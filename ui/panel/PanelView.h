// The window's own panel state that survives from frame to frame: hover, menus, edits, tour, flashes, markers.
#pragma once

#include "PanelState.h"

#include <cstdint>
#include <string>

namespace vrui {

// Owned by the window object and used on the UI thread only.
struct PanelView {
  int hoverCtrl = 0;
  int hoverIndex = -1;
  int selectedPc = 0;
  bool clearArmed = false;

  int lang = 0;
  bool langLoaded = false;
  bool firstRunChecked = false;
  bool firstRunDone = false;
  bool tourChecked = false;
  bool tourSeen = false;
  bool tourActive = false;
  int tourStep = -1;
  bool tourExtended = false;
  bool sympathyEverUp = false;

  bool presetMenuOpen = false;
  int presetCat = 1;
  int presetScroll = 0;
  bool memMenuOpen = false;
  int memDeleteArmed = -1;
  std::string memDeleteName;
  int memScroll = 0;
  bool bodyMenuOpen = false;
  int renameIndex = -1;
  int presetDeleteArmed = -1;
  std::string presetDeleteName;

  // The name being edited: kind 0 none, 1 save preset, 2 rename preset, 3 track name, 4 save memory.
  int editKind = 0;
  std::string editText;
  int caret = 0;
  int anchor = 0;
  int caretTick = 0;

  int heldKey = -1;
  float keyPressure = 0.0f;
  float keyEnergy = 0.0f;

  // The open menu's list moves by delta rows (the wheel, or the MenuScroll arrows with their index); the next frame's
  // buildState clamps it to the list.
  void scrollMenus(int delta) {
    if (memMenuOpen) memScroll += delta;
    if (presetMenuOpen) presetScroll += delta;
  }

  bool pcFlashPrimed = false;  // the recall count was taken once, so opening the editor does not flash
  uint32_t pcFlashSeen = 0;
  int pcFlashFrames = 0;
  // Frames of 1/60 s since the last drawn frame (1 at 60 frames per second, more when drawing falls behind), so
  // flashes and the caret keep their time on a slow GL driver.
  int ticks = 1;
};

}  // namespace vrui
