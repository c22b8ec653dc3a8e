// Opens the machine memory as one more instance would, to change and restore its Speed.
#include "Speed.h"

#include "Directories.h"
#include "MachineMemory.h"
#include "SegmentName.h"

#include <ctime>

namespace vhost {
namespace {

uint64_t now() { return static_cast<uint64_t>(std::time(nullptr)); }

}  // namespace

MachineSpeed::MachineSpeed() = default;

bool MachineSpeed::set(double pace) {
  if (!(pace == 1.0 || pace == 10.0 || pace == 100.0)) return false;
  memory = std::make_unique<vorrel::mem::MachineMemory>(
      vorrel::mem::machineSegmentName(), vorrel::mem::defaultStoreDir(), vorrel::mem::legacySegmentName());
  vorrel::mem::MemoryState state;
  if (!memory->open(now()) || !memory->load(state) || !memory->setPace(pace, now())) {
    memory.reset();
    return false;
  }
  previous = state.pace;
  return true;
}

MachineSpeed::~MachineSpeed() {
  if (!memory) return;
  if (previous > 0.0) memory->setPace(previous, now());
  memory->close(now());
}

}  // namespace vhost
