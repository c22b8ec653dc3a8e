// The vorrel-host command on the real plug-in: info, render with the real-time factor last, state check.
#include "RealPlugin.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

std::string run(const std::string& args, int& status) {
  const std::string cmd = std::string(VORREL_HOST_PATH) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  std::string out;
  char buf[4096];
  while (p && std::fgets(buf, sizeof buf, p)) out += buf;
  status = p ? pclose(p) : -1;
  return out;
}

}  // namespace

TEST(HostTool, InfoListsDescriptorPortsAndParameters) {
  int status = 0;
  const std::string out = run(std::string("info ") + vtest::clapPath(), status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_NE(out.find("id: com.OskelAudio.Vorrel"), std::string::npos);
  EXPECT_NE(out.find("\"Main + Bare + Wear\""), std::string::npos);
  EXPECT_NE(out.find("\"MIDI Input\""), std::string::npos);
  EXPECT_NE(out.find("parameters (29)"), std::string::npos);
  EXPECT_NE(out.find("7.0 d"), std::string::npos);
}

TEST(HostTool, RenderWritesEveryBusAndEndsWithTheRealtimeFactor) {
  const auto dir = std::filesystem::temp_directory_path() / ("vorrel-render-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const auto wav = dir / "out.wav";
  int status = 0;
  const std::string out = run(
      std::string("render ") + vtest::clapPath() + " --buses 3 --rate 44100 --block 300 --out " + wav.string(), status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_TRUE(std::filesystem::file_size(wav) > 44100u * 2 * 4 * 10);
  EXPECT_TRUE(std::filesystem::exists(dir / "out-bare.wav"));
  EXPECT_TRUE(std::filesystem::exists(dir / "out-wear.wav"));
  const auto last = out.rfind("realtime ");
  ASSERT_NE(last, std::string::npos) << out;
  EXPECT_EQ(out.find('\n', last), out.size() - 1);
  EXPECT_GT(std::stod(out.substr(last + 9)), 0.0);
  std::filesystem::remove_all(dir);
}

TEST(HostTool, StateCheckPasses) {
  int status = 0;
  const std::string out = run(std::string("state-check ") + vtest::clapPath(), status);
  EXPECT_EQ(status, 0) << out;
  EXPECT_NE(out.find("identical, value rescans 1"), std::string::npos) << out;
}
