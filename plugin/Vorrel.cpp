// Construction and destruction order, bus names and the hooks the framework calls.
#include "Vorrel.h"

#include "ParamTable.h"
#include "VorrelConfig.h"

#include "Directories.h"
#include "UserLibraryFile.h"

#include <climits>
#include <ctime>

namespace {

uint64_t wallClockNow() { return static_cast<uint64_t>(std::time(nullptr)); }

}  // namespace

Vorrel::Vorrel(const vfw::InstanceInfo& info)
    : vfw::Plugin(info, vorrelConfig()),
      presetLibraryPath(vorrel::userLibraryPath()),
      memory(vorrel::mem::machineSegmentName(), vorrel::mem::defaultStoreDir(), vorrel::mem::legacySegmentName()) {
  engine = std::make_unique<vorrel::dsp::VorrelEngine>();
  pedalDown = false;
  heldByPedal.fill(false);
  sampleRate = 48000.0;
  SetEditorSize(storedEditorWidth(), storedEditorHeight());
  SetTailSize(INT_MAX);  // resonators and reverb ring on: an endless tail
  declareParams(*this);
  openMachineMemory();
}

Vorrel::~Vorrel() {
  // No OnIdle may run while the members it uses are torn down.
  StopIdleTimer();
  SetEditorSize(storedEditorWidth(), storedEditorHeight());
  closeEditor();
  if (memory.isOpen()) idleEngrave(wallClockNow());  // the last notes played still count
  closeMachineMemory();
}

// A host that forbids shared memory leaves the instance playing without one; OnIdle retries.
void Vorrel::openMachineMemory() { memory.open(wallClockNow()); }

void Vorrel::closeMachineMemory() { memory.close(wallClockNow()); }

void Vorrel::OnReset() { prepare(); }

void Vorrel::setTrackExtras(double tilt, double stretch, double selfExcite, double drive) {
  extras.tiltOffset.store(tilt, std::memory_order_relaxed);
  extras.stretch.store(stretch, std::memory_order_relaxed);
  extras.selfExcite.store(selfExcite, std::memory_order_relaxed);
  extras.drive.store(drive, std::memory_order_relaxed);
}

void Vorrel::GetBusName(vfw::Route dir, int busIdx, int nBuses, std::string& name) const {
  if (dir == vfw::Route::Output && nBuses > 1 && busIdx >= 0 && busIdx < 3) {
    name = kVorrelBusNames[busIdx];
    return;
  }
  vfw::Plugin::GetBusName(dir, busIdx, nBuses, name);
}
