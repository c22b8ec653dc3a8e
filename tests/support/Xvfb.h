// A private Xvfb server for the editor tests, started before the first test and stopped after the last.
#pragma once

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace vtest {

class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid = fork();
    ASSERT_GE(pid, 0);
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
    ssize_t n = 0;
    size_t got = 0;
    while (got < sizeof buf - 1 && (n = read(fds[0], buf + got, sizeof buf - 1 - got)) > 0) {
      got += static_cast<size_t>(n);
      if (buf[got - 1] == '\n') break;
    }
    close(fds[0]);
    ASSERT_GT(got, 0u) << "Xvfb did not start";
    std::string display(1, ':');
    display.append(buf, std::strcspn(buf, "\n"));
    setenv("DISPLAY", display.c_str(), 1);
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  }
  void TearDown() override {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    pid = -1;
  }

 private:
  pid_t pid = -1;
};

}  // namespace vtest
