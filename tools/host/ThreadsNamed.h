// What /proc says of this process's threads whose name begins with a prefix: how many, their CPU time, their nice.
#pragma once

#include <string>

namespace vhost {

struct NamedThreads {
  int count = 0;
  double cpuSeconds = 0.0;  // user + system time of those threads
  int highestNice = 0;      // the highest nice value among them; 0 when there are none
};

NamedThreads threadsNamed(const std::string& prefix);

}  // namespace vhost
