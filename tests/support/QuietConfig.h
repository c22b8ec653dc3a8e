// A private configuration directory for editor tests, with the first-run and tour markers already written so no
// welcome card covers the panel; removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace vtest {

class QuietConfigEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    char tmpl[] = "/tmp/vorrel-config-XXXXXX";
    const char* made = ::mkdtemp(tmpl);
    ASSERT_NE(made, nullptr);
    dir = made;
    const std::string own = dir + "/OskelAudio/Vorrel";
    std::filesystem::create_directories(own);
    for (const char* marker : {"/first-run-done.txt", "/tour-done.txt"}) std::ofstream(own + marker) << "done\n";
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  }
  void TearDown() override {
    if (!dir.empty()) std::filesystem::remove_all(dir);
  }
  std::string dir;
};

}  // namespace vtest
