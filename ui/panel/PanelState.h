// What one editor frame shows: every value, name, status line and memory view, copied from the shell.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vrui {

constexpr int kNumPanelParams = 29;
constexpr int kPanelModes = 40;
constexpr float kNeverAge = 999.0f;  // days shown for a cell or row that was never carved

// One factory preset as the menu lists it; the table behind it is constant and outlives every frame.
struct FactoryPresetInfo {
  const char* name = "";
  const char* category = "";
  const char* description = "";
};

struct PanelFonts {
  int medium = -1;
  int semibold = -1;
  int mono = -1;
};

struct PanelState {
  // The controls of the panel; new ones are appended so stored indices of the others never move.
  enum class Ctrl : int32_t {
    None,
    Param,
    Wheel,
    BypassMemory,
    PressureSource,
    FreezeMemory,
    ClearMemory,
    InstanceChip,
    Key,
    MemoryMenu,
    Speed,
    AbSlot,
    Undo,
    Redo,
    PresetMenu,
    TrackName,
    ResizeGrip,
    ProgramChange,
    PresetPrev,
    PresetNext,
    MenuBackdrop,
    PresetCategory,
    PresetRow,
    PresetSaveAs,
    PresetRename,
    PresetDelete,
    NameField,
    MemoryRow,
    MemoryDelete,
    MemorySaveAs,
    BodyMenu,
    BodyRow,
    Language,
    TourNav,
    TourAgain,
    MenuScroll,  // the arrows of a list that does not fit: index -1 up, +1 down
  };

  struct Chip {
    std::string name;
    int32_t carved = 0;
    float share = 0.0f;  // carved over the sum of all chips, 0 when the sum is 0
    bool isSelf = false;
    bool operator==(const Chip&) const = default;
  };

  struct KeyHold {
    int32_t note = 0;
    float pressure = 0.0f;
    float energy = 0.0f;
    bool mpe = false;
    bool operator==(const KeyHold&) const = default;
  };

  // 1. Memory identity and speed.
  std::string memName = "Untouched";
  double memYoursSeconds = 0.0;
  int speedIndex = 0;
  int abSlot = 0;
  bool canUndo = false;
  bool canRedo = false;

  // 2. Memory menu; memScroll is the first saved memory shown when the list does not fit.
  bool memMenuOpen = false;
  int memRowHover = -1;
  int memDeleteHover = -1;
  int memDeleteArmed = -1;
  bool savingMemory = false;
  std::vector<std::string> memoryNames;
  int memScroll = 0;

  // 3. The memory grid: row = pitch class of the first note, column = interval class.
  float weight[12][12] = {};
  float ageDays[12][12] = {};
  float rowIntensity[12] = {};
  float rowAgeDays[12] = {};

  // 4. Memory status flags.
  bool memoryOff = false;
  bool sympathyHint = false;
  bool firstTime = false;
  bool nothingCarved = false;
  bool hasSnapshot = false;
  float snapshotRow[12] = {};

  // 5. Sector view.
  int selectedPc = 0;
  bool memoryBypassed = false;
  float modeLevel[kPanelModes] = {};
  bool modeCarved[kPanelModes] = {};
  int carvedModes = 0;
  float selectedAgeDays = kNeverAge;
  float forgetDays = 7.0f;

  // 6.
  bool velocityLengthMode = true;

  // 7. Status lines.
  std::string memAgeLine;
  int memoryNotice = 0;  // a vrui::MemoryNotice shown instead of memAgeLine; 0 = none
  std::string snapshotLine;
  bool clearArmed = false;

  // 8.
  std::vector<Chip> chips;

  // 9. Parameters.
  float paramNorm[kNumPanelParams] = {};
  std::array<std::string, kNumPanelParams> paramText;

  // 10. Body.
  int body = 0;
  int exciter = 2;
  int quality = 0;
  std::string doseText;
  bool bodyMenuOpen = false;
  int bodyHover = -1;

  // 11.
  std::string memStatus;

  // 12. Names.
  std::string trackName = "Vorrel";
  std::string hostTrackName;
  bool trackNameIsOwn = false;  // the user's own name is set, so the host's name is shown beside it
  std::string presetName = "Init";

  // 13. Preset strip.
  bool presetEdited = false;
  bool pcEnabled = true;
  int lastPc = -1;
  bool pcFlash = false;

  // 14. Preset menu; presetScroll is the first user preset shown when the list does not fit.
  bool presetMenuOpen = false;
  int presetCat = 1;
  int presetRowHover = -1;
  int catHover = -1;
  int userRowHover = -1;
  int presetDeleteArmed = -1;
  int renameIndex = -1;
  bool savingPreset = false;
  std::vector<std::string> userPresetNames;
  const FactoryPresetInfo* factoryPresets = nullptr;
  int factoryCount = 0;
  int presetScroll = 0;

  // 15. Tour.
  bool tourActive = false;
  int tourStep = -1;
  bool tourExtended = false;

  // 16. Name editing.
  int editKind = 0;
  std::string editText;
  int caret = 0;
  int selStart = 0;
  int selEnd = 0;
  bool caretVisible = true;

  // 17. Keyboard.
  std::vector<KeyHold> keyHolds;
  int heldMidiNote = -1;
  int instanceCount = 1;
  bool memoryAttached = false;
  int memoryFault = 0;  // why it is not attached (vorrel::mem::OpenFault), 0 = no cause known

  // 18. Hint bar.
  std::string hintTag = "Vorrel";
  std::string hintText = "Hold two notes on the keyboard \xE2\x80\x94 the interval between them is what gets carved.";
  int lang = 0;
  int hoverCtrl = 0;
  int hoverIndex = -1;
  bool hostTakesResize = true;  // the grip can ask the host for a size

  // Two states are equal when they draw the same frame: every field counts, so a field added later counts too.
  bool operator==(const PanelState&) const = default;
};

using Ctrl = PanelState::Ctrl;

}  // namespace vrui
