// The controls of the panel, in the order the panel state names them; the first stands for no control.
#pragma once

#include <cstdint>

namespace vrui {

enum class Control : int32_t {
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

}  // namespace vrui
