// The machine memory's Speed for one render: set before the plug-in plays, put back afterwards.
#pragma once

#include <memory>

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
  std::unique_ptr<vorrel::mem::MachineMemory> memory;
  double previous = 0.0;  // 0 = nothing to put back
};

}  // namespace vhost
