// Preset lines: what is read, what is dropped, and the same text whatever the process locale is.
#include "UserPreset.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

using vorrel::UserPreset;

namespace {

UserPreset parsed(const std::string& line, bool expectOk = true) {
  UserPreset p;
  EXPECT_EQ(vorrel::parsePresetLine(line, p), expectOk) << line;
  return p;
}

std::string values(int n, const char* v) {
  std::string s;
  for (int i = 0; i < n; ++i) s += std::string(" ") + v;
  return s;
}

}  // namespace

TEST(PresetLine, ReadsAndDrops) {
  const UserPreset a = parsed("p1 1.000000\tA");
  EXPECT_EQ(a.name, "A");
  EXPECT_EQ(a.values[0], 1.0);
  EXPECT_TRUE(a.has[0]);
  EXPECT_FALSE(a.has[1]);
  EXPECT_EQ(a.extras, vorrel::kDefaultExtras);

  parsed("p1 1.0 2.0 A", false);           // no tab
  parsed("p2 1.000000\tOther", false);
  parsed("p1 1.000000\t\r\n", false);  // empty name
  EXPECT_EQ(parsed("p1 2.5\tCrlf\r\n").name, "Crlf");
  EXPECT_EQ(parsed("p1 +2.5e1 -0.5\tSigned").values[0], 25.0);

  // 27 values and two extras: the other two extras keep their defaults; a 28th number is an extra, not a value.
  const UserPreset b = parsed("p1" + values(27, "3.000000") + " 0.9 2.0\tTwoExtras\n");
  EXPECT_TRUE(b.has[26]);
  EXPECT_FALSE(b.has[27]);
  EXPECT_EQ(b.extras, (vorrel::TrackExtraValues{0.9, 2.0, 0.0, 1.4}));

  // Extras out of range are clamped: a stretch of -200 would make the resonators unstable.
  const UserPreset c = parsed("p1" + values(27, "1") + " 0.5 -200 0.1 99\tWild");
  EXPECT_EQ(c.extras, (vorrel::TrackExtraValues{0.5, 0.0, 0.1, 6.0}));

  std::vector<UserPreset> lib;
  vorrel::parseLibraryText("p1 1\tOne\njunk\np1 2\tTwo\r\np2 3\tNo\np1 4\tOne\np1 5\tLast", lib);
  ASSERT_EQ(lib.size(), 4u);  // duplicates stay as they come; the last line needs no newline
  EXPECT_EQ(lib[1].name, "Two");
  EXPECT_EQ(lib[3].values[0], 5.0);
}

// A named line keeps its place and each number its index: what cannot be read stands for its default; C
// hexadecimal is read. A rewrite gives back exactly the numbers the line held, so unstored values stay unstored.
TEST(PresetLine, EveryNamedLineKeepsItsPlaceAndItsNumbers) {
  const UserPreset d = parsed("p1 inf 0x1.8p1 x -0X10\tOdd");
  EXPECT_FALSE(d.has[0]);
  EXPECT_EQ(d.values[1], 3.0);
  EXPECT_FALSE(d.has[2]);
  EXPECT_EQ(d.values[3], -16.0);
  EXPECT_FALSE(d.has[4]);
  EXPECT_FALSE(parsed("p1\tNoNumbers").has[0]);

  const std::string text = "p1 62 0 55\tShort\np1\tBare\np1 inf 2\tOdd\np1 1\tOdd\n";
  std::vector<UserPreset> lib;
  vorrel::parseLibraryText(text, lib);
  ASSERT_EQ(lib.size(), 4u);
  EXPECT_EQ(vorrel::libraryText(lib), text);
  ASSERT_TRUE(vorrel::renamePreset(lib, "Short", "Long"));
  UserPreset saved;
  saved.name = "Bare";
  saved.values[0] = 1;
  vorrel::upsertPreset(lib, saved);
  EXPECT_EQ(vorrel::presetLine(lib[0]), "p1 62 0 55\tLong\n");
  EXPECT_EQ(vorrel::presetLine(lib[1]).substr(0, 12), "p1 1.000000 ");

  // Two lines of one name are two presets to a host: each has its own load key.
  EXPECT_EQ(vorrel::userPresetKey(lib, 2), "Odd");
  EXPECT_EQ(vorrel::userPresetKey(lib, 3), "Odd\t1");
  EXPECT_EQ(vorrel::userPresetIndexByKey(lib, "Odd"), 2);
  EXPECT_EQ(vorrel::userPresetIndexByKey(lib, "Odd\t1"), 3);
  EXPECT_EQ(vorrel::userPresetIndexByKey(lib, "Odd\t2"), -1);
  EXPECT_EQ(vorrel::userPresetIndexByKey(lib, "Nobody"), -1);
}

TEST(PresetLine, LibraryChanges) {
  std::vector<UserPreset> lib(2);
  lib[0].name = "A";
  lib[1].name = "B";
  UserPreset b2;
  b2.name = "B";
  b2.values[0] = 7;
  vorrel::upsertPreset(lib, b2);
  ASSERT_EQ(lib.size(), 2u);
  EXPECT_EQ(lib[1].values[0], 7.0);
  EXPECT_FALSE(vorrel::renamePreset(lib, "A", "A"));
  EXPECT_FALSE(vorrel::renamePreset(lib, "A", "B"));
  EXPECT_FALSE(vorrel::renamePreset(lib, "A", ""));
  EXPECT_FALSE(vorrel::renamePreset(lib, "A", "tab\there"));
  EXPECT_FALSE(vorrel::renamePreset(lib, "Z", "C"));
  EXPECT_TRUE(vorrel::renamePreset(lib, "A", "C"));
  EXPECT_EQ(lib[0].name, "C");
}

// A host running with a decimal comma must neither write "0,500000" nor misread "0.5".
TEST(PresetLine, SameTextUnderADecimalCommaLocale) {
  const auto dir = std::filesystem::temp_directory_path() / ("vorrel-locale-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::string make = "localedef -i de_DE -f UTF-8 " + (dir / "de_DE.UTF-8").string() + " >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0) GTEST_SKIP() << "localedef or the de_DE source is missing (package locales)";
  ::setenv("LOCPATH", dir.c_str(), 1);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 0.5);
  EXPECT_STREQ(probe, "0,5");  // the locale is really in force

  UserPreset p;
  p.name = "Komma";
  for (int i = 0; i < vorrel::kNumPresetParams; ++i) p.values[static_cast<size_t>(i)] = i * 1.1 - 5.0000004;
  p.values[0] = 0.5;
  p.extras = {0.123456789, 2.5, 0.0625, 1.0};
  const std::string line = vorrel::presetLine(p);
  UserPreset back;
  const bool ok = vorrel::parsePresetLine(line, back);
  std::setlocale(LC_ALL, "C");
  ::unsetenv("LOCPATH");
  std::filesystem::remove_all(dir);

  EXPECT_EQ(line.compare(0, 12, "p1 0.500000 "), 0) << line;
  EXPECT_EQ(line.find(','), std::string::npos) << line;
  ASSERT_TRUE(ok);
  for (int i = 0; i < vorrel::kNumStoredParams; ++i) {
    char want[64];
    std::snprintf(want, sizeof want, "%.6f", p.values[static_cast<size_t>(i)]);
    EXPECT_NEAR(back.values[static_cast<size_t>(i)], std::atof(want), 1e-9) << i;
    EXPECT_NE(line.find(std::string(" ") + want + " "), std::string::npos) << want;  // "%.6f" in the C locale
  }
  EXPECT_NEAR(back.extras[0], 0.123457, 1e-12);
  EXPECT_EQ(back.extras[2], 0.0625);
}
