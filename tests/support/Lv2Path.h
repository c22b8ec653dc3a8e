// Points LV2_PATH at a private folder holding only the bundle just built, so an installed copy never stands in.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace vtest {

inline std::string& privateLv2Dir() {
  static std::string dir;
  return dir;
}

// The folder (a link to the bundle inside) goes when the test program ends; the bundle stays.
inline void usePrivateLv2Path() {
  if (privateLv2Dir().empty()) {
    char tmpl[] = "/tmp/vorrel-lv2-XXXXXX";
    const char* made = ::mkdtemp(tmpl);
    if (!made) return;
    privateLv2Dir() = made;
    std::filesystem::create_directory_symlink(VORREL_LV2_BUNDLE, privateLv2Dir() + "/Vorrel.lv2");
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(privateLv2Dir(), ec);
    });
  }
  ::setenv("LV2_PATH", privateLv2Dir().c_str(), 1);
}

}  // namespace vtest
