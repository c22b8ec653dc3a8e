// A private Xvfb server for the editor tests, started before the first test and stopped after the last.
#pragma once

#include "PrivateXvfb.h"

#include <gtest/gtest.h>

namespace vtest {

class XvfbEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    pid = vhost::startPrivateXvfb();
    ASSERT_GT(pid, 0) << "Xvfb did not start";
  }
  void TearDown() override {
    vhost::stopPrivateXvfb(pid);
    pid = -1;
  }

 private:
  pid_t pid = -1;
};

}  // namespace vtest
