// The exported LV2 entry point of Vorrel.lv2 and the instance builder behind it.
#include "Lv2Adapter.h"
#include "Vorrel.h"
#include "VorrelConfig.h"

#include <mutex>

vfw::Plugin* vfw::MakePlug(const vfw::InstanceInfo& info) {
  // Serialises construction: instances share process-wide memory handles and preset tables.
  static std::mutex makeMutex;
  std::lock_guard<std::mutex> lock(makeMutex);
  return new Vorrel(info);
}

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? vfw::lv2Descriptor(kVorrelLv2Uri) : nullptr;
}
