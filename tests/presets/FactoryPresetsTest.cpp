// The factory table against its published rows, and what must hold for all 85.
#include "FactoryPresets.h"
#include "ParamTable.h"
#include "Plugin.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>

using vorrel::kFactoryPresets;

namespace {

const vorrel::FactoryPreset& row(int i) { return kFactoryPresets[static_cast<size_t>(i)]; }

// The 29 parameters as the plug-in declares them, for their ranges.
struct ParamTable {
  ParamTable()
      : plug(vfw::InstanceInfo{}, [] {
          vfw::Config c;
          c.nParams = kNumParams;
          return c;
        }()) {
    declareParams(plug);
  }
  vfw::Plugin plug;
};

}  // namespace

// The framework's factory is not used here; it only needs the symbol.
vfw::Plugin* vfw::MakePlug(const vfw::InstanceInfo&) { return nullptr; }

TEST(FactoryPresets, RowsAsPublished) {
  EXPECT_STREQ(row(0).name, "Init");
  EXPECT_STREQ(row(0).subtitle, "");
  EXPECT_STREQ(row(1).name, "Worn threshold");
  EXPECT_STREQ(row(1).subtitle, "le pas de porte creus\xC3\xA9");  // UTF-8 e acute
  EXPECT_STREQ(row(84).name, "Substation");
  EXPECT_STREQ(row(84).subtitle, "le bourdon derri\xC3\xA8re la cl\xC3\xB4ture");
  EXPECT_EQ(row(84).body, 5);
  EXPECT_EQ(row(84).exciter, 5);
  EXPECT_EQ(row(84).bodyDecay, 579);
  EXPECT_EQ(row(84).extras, (vorrel::TrackExtraValues{0.2, 1.7, 0, 1.6}));
  // One of each category, and the table is not grouped by it.
  const std::pair<int, const char*> cats[] = {
      {0, "Init"},        {1, "Keys"},      {11, "Bass"},     {19, "Pads"}, {27, "Leads"},   {34, "Plucked & struck"},
      {42, "Percussion"}, {49, "Textures"}, {61, "Machines"}, {73, "Keys"}, {84, "Textures"}};
  for (const auto& [i, cat] : cats) EXPECT_STREQ(row(i).category, cat) << i;
  // LFO, saw and square, drive.
  EXPECT_EQ(row(67).lfoRate, 2.6);
  EXPECT_EQ(row(67).lfoAmt, 3.2);
  EXPECT_EQ(row(69).lfoRate, 0.4);
  EXPECT_EQ(row(64).exciter, 5);
  EXPECT_EQ(row(61).exciter, 4);
  EXPECT_EQ(row(62).extras[3], 6.0);
  EXPECT_EQ(row(63).resonance, 145);
  EXPECT_EQ(row(63).envAmt, 5);
  EXPECT_EQ(row(63).attack, 6);
  EXPECT_EQ(row(63).release, 250);
  EXPECT_EQ(row(3).extras, (vorrel::TrackExtraValues{0.3, 0.3, 0.06, 1.4}));
}

TEST(FactoryPresets, InvariantsOverAll85) {
  ParamTable t;
  std::set<std::string> names;
  for (int i = 0; i < vorrel::kNumFactoryPresets; ++i) {
    const auto& p = row(i);
    EXPECT_TRUE(names.insert(p.name).second) << p.name;
    EXPECT_EQ(vorrel::presetIndexByName(p.name), i);
    const auto cat = std::find_if(vorrel::kPresetCategories.begin(), vorrel::kPresetCategories.end() - 1,
                                  [&](const char* c) { return std::string(c) == p.category; });
    EXPECT_NE(cat, vorrel::kPresetCategories.end() - 1) << p.name;
    vorrel::PresetValues values;
    vorrel::PresetHas has;
    vorrel::factoryPresetValues(p, values, has);
    EXPECT_EQ(std::count(has.begin(), has.end(), true), 14);
    EXPECT_FALSE(has[kForget] || has[kEngrave] || has[kImprint] || has[kLevel]);
    for (int j = 0; j < kNumParams; ++j) {
      if (!has[static_cast<size_t>(j)]) continue;
      const vfw::Param* par = t.plug.GetParam(j);
      const double v = values[static_cast<size_t>(j)];
      EXPECT_TRUE(v >= par->GetMin() && v <= par->GetMax()) << p.name << " " << par->GetName() << " " << v;
      EXPECT_EQ(par->Constrain(v), v) << p.name << " " << par->GetName();
    }
    auto e = p.extras;
    vorrel::clampTrackExtras(e);
    EXPECT_EQ(e, p.extras);
  }
  EXPECT_EQ(vorrel::presetIndexByName("worn threshold"), -1);
  EXPECT_EQ(vorrel::presetIndexByName(""), -1);
  EXPECT_EQ(vorrel::presetIndexByName("Worn threshold "), -1);
}

TEST(FactoryPresets, ExtrasClampToTheTablesSpan) {
  vorrel::TrackExtraValues e{-1.0, -200.0, NAN, 1e9};
  vorrel::clampTrackExtras(e);
  EXPECT_EQ(e, (vorrel::TrackExtraValues{0.0, 0.0, 0.0, 6.0}));
  e = {INFINITY, 99.0, 0.5, 0.0};
  vorrel::clampTrackExtras(e);
  EXPECT_EQ(e, (vorrel::TrackExtraValues{0.35, 3.0, 0.16, 1.0}));
}
