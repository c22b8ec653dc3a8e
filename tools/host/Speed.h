// The machine memory's Speed for one render: set before the plug-in plays, put back afterwards, and owned by this
// process, so that a render that is killed does not leave the machine fast.
#pragma once

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace vorrel::mem {
class MachineMemory;
}

namespace vhost {

class MachineSpeed {
 public:
  MachineSpeed();
  ~MachineSpeed();
  MachineSpeed(const MachineSpeed&) = delete;
  MachineSpeed& operator=(const MachineSpeed&) = delete;

  // pace 1, 10 or 100; false when the machine memory cannot be opened or changed.
  bool set(double pace);

 private:
  void keepAlive();

  // Main thread until set() starts the heartbeat; then only the heartbeat thread, until the destructor joins it.
  std::unique_ptr<vorrel::mem::MachineMemory> memory;
  double previous = 0.0;  // 0 = nothing to put back
  std::thread heart;
  std::mutex stopMutex;
  std::condition_variable stopSignal;
  bool stopping = false;  // guarded by stopMutex
};

}  // namespace vhost
