// A private Xvfb server for editor tests and benchmarks.
#include "PrivateXvfb.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace vhost {

pid_t startPrivateXvfb() {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  const pid_t pid = fork();
  if (pid < 0) {
    close(fds[0]);
    close(fds[1]);
    return -1;
  }
  if (pid == 0) {
    close(fds[0]);
    const std::string fd = std::to_string(fds[1]);
    execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "2400x1600x24", "-nolisten", "tcp",
          "-noreset", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(fds[1]);
  // Xvfb writes its display number once it accepts connections.
  char buf[32] = {};
  size_t got = 0;
  ssize_t n = 0;
  while (got < sizeof buf - 1 && (n = read(fds[0], buf + got, sizeof buf - 1 - got)) > 0) {
    got += static_cast<size_t>(n);
    if (buf[got - 1] == '\n') break;
  }
  close(fds[0]);
  if (got == 0) {
    stopPrivateXvfb(pid);
    return -1;
  }
  std::string display(1, ':');
  display.append(buf, std::strcspn(buf, "\n"));
  setenv("DISPLAY", display.c_str(), 1);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  return pid;
}

void stopPrivateXvfb(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

}  // namespace vhost
