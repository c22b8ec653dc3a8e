// A unique segment name and an empty store directory per test; both removed afterwards.
#pragma once

#include "MachineMemory.h"

#include <gtest/gtest.h>
#include <boost/interprocess/shared_memory_object.hpp>

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

namespace vtest {

class ShmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static std::atomic<int> counter{0};
    segment = "vorrel_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter.fetch_add(1));
    boost::interprocess::shared_memory_object::remove(segment.c_str());
    char tmpl[] = "/tmp/vorrel-store-XXXXXX";
    store = ::mkdtemp(tmpl);
  }
  void TearDown() override {
    boost::interprocess::shared_memory_object::remove(segment.c_str());
    std::filesystem::remove_all(store);
  }
  std::unique_ptr<vorrel::mem::MachineMemory> handle() {
    return std::make_unique<vorrel::mem::MachineMemory>(segment, store);
  }

  std::string segment;
  std::string store;
};

}  // namespace vtest
