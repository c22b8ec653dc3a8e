// Points LV2_PATH at a private folder holding only the bundle just built, so an installed copy never stands in.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace vtest {

inline void usePrivateLv2Path() {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/vorrel-lv2-XXXXXX";
    const char* made = ::mkdtemp(tmpl);
    const std::string d = made ? made : "/tmp";
    std::filesystem::create_directory_symlink(VORREL_LV2_BUNDLE, d + "/Vorrel.lv2");
    return d;
  }();
  ::setenv("LV2_PATH", dir.c_str(), 1);
}

}  // namespace vtest
