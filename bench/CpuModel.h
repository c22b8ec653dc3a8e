// The processor every benchmark figure is printed with: the model name and, to tell generations apart, family and
// model (a virtual machine often names only the vendor); and the calling thread's CPU clock, for figures that must
// not count other threads or a shared machine's load.
#pragma once

#include <time.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace vbench {

inline std::string cpuModel() {
  std::FILE* f = std::fopen("/proc/cpuinfo", "r");
  if (!f) return "unknown";
  char line[256];
  std::string name = "unknown", family, model;
  auto value = [](const char* l) {
    const char* c = std::strchr(l, ':');
    std::string v = c ? c + 1 : "";
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.erase(v.begin());
    while (!v.empty() && (v.back() == '\n' || v.back() == ' ')) v.pop_back();
    return v;
  };
  while (std::fgets(line, sizeof line, f)) {
    if (!std::strncmp(line, "model name", 10) && name == "unknown") name = value(line);
    if (!std::strncmp(line, "cpu family", 10) && family.empty()) family = value(line);
    if (!std::strncmp(line, "model\t", 6) && model.empty()) model = value(line);
  }
  std::fclose(f);
  return name + " (family " + family + ", model " + model + ")";
}

inline double threadSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

}  // namespace vbench
