// A benchmark's own /dev/shm and data, config and home directories, so it never carves into the user's memory.
#pragma once

#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>

#include <string>

namespace vbench {

// Needs root (a mount namespace of its own). Returns the private home directory, or "" when it cannot be made.
inline std::string privateMachine() {
  if (::unshare(CLONE_NEWNS) != 0) return "";
  if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return "";
  if (::mount("vorrel-bench-shm", "/dev/shm", "tmpfs", 0, "size=64m,mode=1777") != 0) return "";
  char tmpl[] = "/tmp/vorrel-bench-XXXXXX";
  const char* dir = ::mkdtemp(tmpl);
  if (!dir) return "";
  ::setenv("XDG_DATA_HOME", (std::string(dir) + "/data").c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", (std::string(dir) + "/config").c_str(), 1);
  ::setenv("HOME", dir, 1);
  return dir;
}

}  // namespace vbench
