// A private Xvfb server for editor tests and benchmarks: started on a free display, stopped by its pid.
#pragma once

#include <sys/types.h>

namespace vhost {

// Starts Xvfb (2400 x 1600, no TCP) and waits until it accepts connections; sets DISPLAY to it and asks Mesa for
// software GL. Returns its pid, or -1 when it could not be started.
pid_t startPrivateXvfb();
void stopPrivateXvfb(pid_t pid);

}  // namespace vhost
