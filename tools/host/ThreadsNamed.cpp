// This process's threads by name prefix, read from /proc/self/task.
#include "ThreadsNamed.h"

#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

namespace vhost {

NamedThreads threadsNamed(const std::string& prefix) {
  NamedThreads seen;
  int nice = INT_MIN;
  DIR* dir = opendir("/proc/self/task");
  while (dir) {
    const dirent* e = readdir(dir);
    if (!e) break;
    if (e->d_name[0] == '.') continue;
    const std::string task = std::string("/proc/self/task/") + e->d_name;
    std::ifstream comm(task + "/comm");
    std::string name;
    std::getline(comm, name);
    if (name.rfind(prefix, 0) != 0) continue;
    ++seen.count;
    std::ifstream statFile(task + "/stat");
    const std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    // Fields after the parenthesised name, numbered as in proc(5): 14 utime, 15 stime (clock ticks), 19 nice.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int i = 3; i <= 19 && fields >> field; ++i) {
      if (i == 14 || i == 15) ticks += std::atol(field.c_str());
      if (i == 19) nice = std::max(nice, std::atoi(field.c_str()));
    }
    seen.cpuSeconds += static_cast<double>(ticks) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }
  if (dir) closedir(dir);
  if (seen.count > 0) seen.highestNice = nice;
  return seen;
}

}  // namespace vhost
