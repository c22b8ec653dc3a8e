// The text tables: every slot filled in every language with characters the panel's fonts carry, the lookup
// rule, and the tour's targets; widths against the panel's boxes when the fonts are at hand.
#include "FaultTexts.h"
#include "FontMeasure.h"
#include "MemoryNotices.h"
#include "Texts.h"
#include "Tour.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace vrui;

namespace {

constexpr int kUnusedHintSlot = 25;

// True for well-formed UTF-8 whose code points stay within Latin-1, the subset the embedded fonts hold.
bool latin1Utf8(const char* s) {
  for (auto* p = reinterpret_cast<const unsigned char*>(s); *p;) {
    if (*p < 0x80) {
      if (*p < 0x20) return false;
      ++p;
    } else if ((*p == 0xC2 || *p == 0xC3) && (p[1] & 0xC0) == 0x80) {
      p += 2;
    } else {
      return false;
    }
  }
  return true;
}

template <int W>
void expectFilled(const char* const (&table)[kNumLangs][W], const char* what, int skip = -1) {
  for (int l = 0; l < kNumLangs; ++l)
    for (int i = 0; i < W; ++i) {
      if (i == skip) continue;
      const char* s = table[l][i];
      ASSERT_TRUE(s && *s) << what << " lang " << l << " slot " << i;
      EXPECT_TRUE(latin1Utf8(s)) << what << " lang " << l << " slot " << i << ": " << s;
    }
}

}  // namespace

TEST(TextTables, EverySlotFilledInEveryLanguage) {
  expectFilled(kParamStoriesL, "story");
  expectFilled(kHints, "hint", kUnusedHintSlot);
  expectFilled(kTourTitle, "tour title");
  expectFilled(kTourBody, "tour body");
  expectFilled(kTourBtn, "tour button");
  expectFilled(kWelcomeLine, "welcome line");
  for (int l = 0; l < kNumLangs; ++l) {
    EXPECT_STREQ(kWelcomeTitle[l], "Vorrel");
    EXPECT_TRUE(latin1Utf8(kLangNames[l]));
    // A translation that merely copied English would leave the player without their language.
    int same = 0;
    for (int i = 0; i < kNumHints; ++i)
      same += l > 0 && i != kUnusedHintSlot && !std::strcmp(kHints[l][i], kHints[0][i]);
    EXPECT_LE(same, 1) << "lang " << l;
  }
  for (const char* label : kParamLabels) EXPECT_TRUE(label && *label);
}

TEST(TextTables, LookupFallsBackToEnglish) {
  EXPECT_STREQ(hintText(kLangGerman, 5), kHints[kLangGerman][5]);
  EXPECT_STREQ(hintText(6, 5), kHints[0][5]);
  EXPECT_STREQ(hintText(-1, 16), "Redo (Ctrl+Shift+Z).");
  EXPECT_STREQ(hintText(kLangFrench, kUnusedHintSlot), "");
  EXPECT_STREQ(hintText(kLangFrench, kNumHints), "");
  EXPECT_STREQ(tourButton(kLangGerman, kTourBtnSkip), "Überspringen");
  EXPECT_STREQ(tourButton(9, kTourBtnDone), "Done");
  EXPECT_STREQ(paramStory(kLangItalian, 29), "");
  EXPECT_STREQ(paramLabel(17), "LFO rate");
  EXPECT_STREQ(welcomeTitle(12), "Vorrel");
  EXPECT_STREQ(welcomeLine(kLangEnglish, 1), "Not the notes: the intervals between them.");
}

TEST(TextTables, TourTargetsAndBounds) {
  EXPECT_EQ(kTourSteps[2].ctrl, Control::Param);
  EXPECT_EQ(kTourSteps[2].index, 9);
  EXPECT_EQ(kTourSteps[17].ctrl, Control::Language);
  struct R {
    float x, y, w, h;
  };
  struct E {
    Control ctrl;
    int index;
    R rect;
  };
  const E entries[] = {{Control::Key, 36, {12, 591, 31, 39}},
                       {Control::Key, 84, {917, 591, 31, 39}},
                       {Control::Param, 9, {300, 500, 60, 66}},
                       {Control::Param, 0, {100, 389, 60, 66}}};
  TourBox box;
  ASSERT_TRUE(tourTargetBounds(0, entries, box));  // every key
  EXPECT_FLOAT_EQ(box.x, 12);
  EXPECT_FLOAT_EQ(box.w, 936);
  EXPECT_FLOAT_EQ(box.h, 39);
  ASSERT_TRUE(tourTargetBounds(2, entries, box));  // only Sympathy among the knobs
  EXPECT_FLOAT_EQ(box.x, 300);
  EXPECT_FALSE(tourTargetBounds(1, entries, box));  // no wheel drawn yet
  EXPECT_FALSE(tourTargetBounds(18, entries, box));
}

// Widths through the same font rasteriser the panel uses, at several window scales, against the boxes the panel
// gives each text: the hint bar between x 12 and its tag (right-aligned at 862), the keyboard legend across the
// 936-unit strip, and a tour card's title beside its counter and close box, in every language.
TEST(TextTables, TranslationsFitTheirBoxes) {
  FontMeasure fonts;
  if (!fonts.ok()) GTEST_SKIP() << "panel fonts not found (set VORREL_FONT_DIR)";
  const float kGap = 4;
  const auto hintTag = [](int slot, Lang l) -> std::string {
    switch (slot) {
      case 7:
        return "~2 kB each";
      case 17:
        return "no preset";
      case 18:
        return "none received";
      case 24:
        return "no \"unnamed\" state";
      case 28:
        return "dose \xC3\x97"
               "1.00";
      case 29:
        return "listening";
      case 30:
      case 31:
        return "memory off";
      case 32:
        return kLangNames[l];
      case 38:
        return "first time";
      case 40:
        return "no memory";
      default:
        return "Vorrel";
    }
  };
  // The widest value text of each parameter, as the tag shows it after its label.
  static const char* const kWidestValue[kNumParamTexts] = {
      "100.0%",   "100.0%",   "100.0%",   "100.0%",  "Upright high", "Mallet",  "25.2 s",   "100.0%",
      "100.0%",   "100.0%",   "2000 ms",  "6000 ms", "100.0%",       "8000 ms", "18000 Hz", "150.0",
      "6.00 oct", "12.00 Hz", "5.00 oct", "800 ms",  "16",           "1500 ms", "100.0%",   "100.0%",
      "100.0%",   "-24.0 dB", "x8",       "90.0 d",  "200%"};
  for (float scale : {0.7f, 1.0f, 1.37f, 2.0f, 3.2f}) {
    for (Lang l = 0; l < kNumLangs; ++l) {
      for (int i = 0; i < kNumHints; ++i) {
        if (i == kUnusedHintSlot || (i >= 33 && i <= 36)) continue;
        const float room = 862 - 12 - kGap - fonts.width(FontMeasure::RailTick, hintTag(i, l), scale);
        EXPECT_LE(fonts.width(FontMeasure::InfoText, kHints[l][i], scale), room) << "hint " << i << " lang " << l;
      }
      for (int id = 0; id < kNumParamTexts; ++id) {
        std::string text = kParamStoriesL[l][id];
        if (id == 17 || id == 18) text += std::string("  \xC2\xB7  ") + kHints[l][42];
        if (id == 27 || id == 28) text += "  \xC2\xB7  shared by every instance";
        const std::string tag = std::string(kParamLabels[id]) + "  " + kWidestValue[id];
        const float room = 862 - 12 - kGap - fonts.width(FontMeasure::RailTick, tag, scale);
        EXPECT_LE(fonts.width(FontMeasure::InfoText, text, scale), room) << "story " << id << " lang " << l;
      }
      const std::string legend = std::string(kHints[l][33]) + kHints[l][34] + kHints[l][35] + kHints[l][36];
      EXPECT_LE(fonts.width(FontMeasure::KnobZone, legend, scale), 936) << "legend lang " << l;
      // A 320-wide card: 16 in from each side, the counter ("18 / 18") and the 18-unit close box at the right.
      const float titleRoom = 320 - 32 - 24 - fonts.width(FontMeasure::RailTick, "18 / 18", scale) - 8;
      for (int s = 0; s < kNumTourSteps; ++s)
        EXPECT_LE(fonts.width(FontMeasure::TourTitle, kTourTitle[l][s], scale), titleRoom) << "title " << s;
    }
  }
}

// Why the memory is missing, in every language, in no more room than the general line it replaces.
TEST(TextTables, MemoryFaultLinesInEveryLanguageFitTheMemoryLine) {
  FontMeasure fonts;
  for (Lang l = 0; l < kNumLangs; ++l) {
    EXPECT_EQ(faultLine(l, 0), nullptr);
    for (int f = 1; f < kNumFaultLines; ++f) {
      const char* s = faultLine(l, f);
      ASSERT_TRUE(s && *s) << "fault " << f << " lang " << l;
      EXPECT_TRUE(latin1Utf8(s)) << s;
      if (l > 0) {
        EXPECT_STRNE(s, kFaultLines[0][f]) << "fault " << f << " lang " << l;
      }
      for (float scale : {0.7f, 1.0f, 2.0f}) {
        if (!fonts.ok()) break;
        EXPECT_LE(fonts.width(FontMeasure::RailTick, s, scale),
                  fonts.width(FontMeasure::RailTick, "NO MACHINE MEMORY IN THIS HOST", scale))
            << s;
      }
    }
  }
  EXPECT_STREQ(faultLine(9, 3), kFaultLines[0][3]);
  EXPECT_EQ(faultLine(0, kNumFaultLines), nullptr);
}

TEST(TextTables, MemoryNoticesAreFilledAndNoWiderThanTheLineTheyReplace) {
  for (Lang l = 0; l < kNumLangs; ++l) {
    EXPECT_STREQ(memoryNoticeText(l, kNoticeNone), "");
    for (int n = 1; n < kNumMemoryNotices; ++n) {
      ASSERT_TRUE(*memoryNoticeText(l, n)) << "lang " << l << " notice " << n;
      EXPECT_TRUE(latin1Utf8(memoryNoticeText(l, n))) << "lang " << l << " notice " << n;
    }
  }
  EXPECT_STREQ(memoryNoticeText(9, kNoticeBadLink), kMemoryNotices[kLangEnglish][kNoticeBadLink]);
  FontMeasure fonts;
  if (!fonts.ok()) GTEST_SKIP() << "panel fonts not found (set VORREL_FONT_DIR)";
  const float room = fonts.width(FontMeasure::RailTick, "NO MACHINE MEMORY IN THIS HOST");
  for (Lang l = 0; l < kNumLangs; ++l)
    for (int n = 1; n < kNumMemoryNotices; ++n)
      EXPECT_LE(fonts.width(FontMeasure::RailTick, memoryNoticeText(l, n)), room) << "lang " << l << " notice " << n;
}
