// The language from the environment and from the saved file, the pill's cycle, and the marker files.
#include "EnvGuard.h"
#include "Lang.h"
#include "Markers.h"
#include "Tour.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using namespace vrui;

namespace {

Lang envLang(const char* lcAll, const char* lcMessages, const char* lang) {
  EnvGuard env;
  env.set("LC_ALL", lcAll);
  env.set("LC_MESSAGES", lcMessages);
  env.set("LANG", lang);
  return langFromEnv();
}

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A private configuration directory for each test.
class ConfigDirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("vorrel-lang-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root);
    env.set("XDG_CONFIG_HOME", root.c_str());
    for (const char* v : {"LC_ALL", "LC_MESSAGES", "LANG"}) env.set(v, nullptr);
  }
  void TearDown() override { fs::remove_all(root); }
  void writeLangFile(const std::string& bytes) {
    fs::create_directories(fs::path(hintsLangFilePath()).parent_path());
    std::ofstream(hintsLangFilePath(), std::ios::binary) << bytes;
  }
  fs::path root;
  EnvGuard env;
};

}  // namespace

TEST(Lang, EnvironmentOrderAndCodes) {
  EXPECT_EQ(envLang("de_DE.UTF-8", nullptr, "fr_FR"), kLangGerman);
  EXPECT_EQ(envLang("C", nullptr, "it_IT"), kLangItalian);
  EXPECT_EQ(envLang(nullptr, "es_ES", "fr_FR"), kLangSpanish);
  EXPECT_EQ(envLang("C.UTF-8", "POSIX", "fr_FR.UTF-8"), kLangFrench);  // unrecognised values fall through
  EXPECT_EQ(envLang("x", nullptr, "pt"), kLangPortuguese);             // too short to count
  EXPECT_EQ(envLang(nullptr, nullptr, "p"), kLangEnglish);
  EXPECT_EQ(envLang(nullptr, nullptr, "nl_NL"), kLangEnglish);
  EXPECT_EQ(envLang(nullptr, nullptr, nullptr), kLangEnglish);
  EXPECT_EQ(langFromCode("dE", 2), kLangGerman);
  EXPECT_EQ(langFromCode("e", 1), -1);
}

TEST_F(ConfigDirTest, SavedLanguageWinsWhenReadable) {
  EXPECT_EQ(hintsLangFilePath(), (root / "OskelAudio/Vorrel/hints-lang.txt").string());
  EXPECT_EQ(loadHintsLang(kLangItalian), kLangItalian);  // no file
  writeLangFile("es");
  EXPECT_EQ(loadHintsLang(kLangItalian), kLangSpanish);
  writeLangFile("e");
  EXPECT_EQ(loadHintsLang(kLangItalian), kLangItalian);
  writeLangFile("xx\n");
  EXPECT_EQ(loadHintsLang(kLangGerman), kLangGerman);
  writeLangFile("PT and a long tail");
  EXPECT_EQ(loadHintsLang(kLangGerman), kLangPortuguese);
}

TEST_F(ConfigDirTest, SixPillClicksComeBackAndLeaveTheFileHoldingIt) {
  env.set("LANG", "de_DE.UTF-8");
  Lang lang = loadHintsLang(langFromEnv());
  const Lang first = lang;
  for (int i = 0; i < 6; ++i) {
    lang = nextLang(lang);
    saveHintsLang(lang);
    EXPECT_EQ(loadHintsLang(-1), lang);
  }
  EXPECT_EQ(lang, first);
  EXPECT_EQ(slurp(hintsLangFilePath()), "DE\n");
  // Made level by level, world-readable whatever the umask.
  struct stat st {};
  ASSERT_EQ(::stat((root / "OskelAudio").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
}

TEST_F(ConfigDirTest, MarkersAndTheTourWriteOnce) {
  EXPECT_FALSE(markerPresent(firstRunFilePath()));
  saveFirstRunDone();
  EXPECT_EQ(slurp(firstRunFilePath()), "done\n");

  TourState tour;
  tourCheckOnce(tour, markerPresent(tourFilePath()));
  ASSERT_TRUE(tour.active);
  EXPECT_EQ(tour.step, -1);
  int buttons[3];
  ASSERT_EQ(tourCardButtons(tour, buttons), 2);
  EXPECT_EQ(buttons[1], kTourBtnStart);

  // Start, walk the basic tour to its end, enter the extended tour, walk to the end.
  EXPECT_FALSE(tourNav(tour, 1));
  std::set<int> shown{tour.step};
  while (tour.step < 7) tourNav(tour, 3), shown.insert(tour.step);
  tourNav(tour, 3);  // stays on the last basic card
  EXPECT_EQ(tour.step, 7);
  ASSERT_EQ(tourCardButtons(tour, buttons), 3);
  EXPECT_EQ(buttons[1], kTourBtnExtended);
  tourNav(tour, 4);
  EXPECT_EQ(tour.step, 8);
  while (tour.step < 17) shown.insert(tour.step), tourNav(tour, 3);
  shown.insert(tour.step);
  EXPECT_EQ(shown.size(), static_cast<size_t>(kNumTourSteps));
  ASSERT_EQ(tourCardButtons(tour, buttons), 2);
  EXPECT_EQ(buttons[1], kTourBtnDone);
  EXPECT_TRUE(tourNav(tour, 5));
  EXPECT_FALSE(tourNav(tour, 5));  // at most once per window
  EXPECT_FALSE(tour.active);

  saveTourDone();
  EXPECT_EQ(slurp(tourFilePath()), "done\n");
  tourAgain(tour);  // "?" shows the welcome card again, and leaving it writes nothing more
  EXPECT_EQ(tour.step, -1);
  EXPECT_FALSE(tourNav(tour, 0));
  TourState next;  // the next window finds the marker
  tourCheckOnce(next, markerPresent(tourFilePath()));
  EXPECT_FALSE(next.active);
  tourNav(next, 2);
  EXPECT_EQ(next.step, -1);  // previous never goes below the welcome card
}

TEST(Markers, NeverInATemporaryDirectoryWithoutAHome) {
  EnvGuard env;
  env.set("HOME", nullptr);
  env.set("XDG_CONFIG_HOME", nullptr);
  const std::string dir = markerDir();
  EXPECT_NE(dir.rfind("/tmp", 0), 0u) << dir;
  if (dir.empty()) {
    EXPECT_TRUE(tourFilePath().empty());
    EXPECT_FALSE(writeMarkerFile(tourFilePath(), "done\n"));
    EXPECT_EQ(loadHintsLang(kLangFrench), kLangFrench);
  }
}
