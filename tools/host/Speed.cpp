// Opens the machine memory as a tool (not a playing instance) to change and restore its Speed. The slot it holds
// marks the Speed as this process's: heartbeats keep it while the render runs, and when the process dies
// without putting the Speed back, the next instance's idle duties do.
#include "Speed.h"

#include "Directories.h"
#include "MachineMemory.h"
#include "SegmentName.h"

#include <chrono>
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
  if (!memory->open(now())) {
    memory.reset();
    return false;
  }
  memory->markNotPlaying();  // the render's plug-in instance is the one that plays
  if (!memory->load(state) || !memory->setPace(pace, now())) {
    memory->close(now());
    memory.reset();
    return false;
  }
  previous = state.pace;
  heart = std::thread([this] { keepAlive(); });
  return true;
}

// Once a second: slots without a heartbeat for 11 s are reaped, and a reaped owner's Speed ends.
void MachineSpeed::keepAlive() {
  std::unique_lock<std::mutex> lock(stopMutex);
  while (!stopSignal.wait_for(lock, std::chrono::seconds(1), [this] { return stopping; })) memory->heartbeat(now());
}

MachineSpeed::~MachineSpeed() {
  if (!memory) return;
  {
    std::lock_guard<std::mutex> lock(stopMutex);
    stopping = true;
  }
  stopSignal.notify_all();
  if (heart.joinable()) heart.join();
  if (previous > 0.0) memory->setPace(previous, now());
  memory->close(now());
}

}  // namespace vhost
