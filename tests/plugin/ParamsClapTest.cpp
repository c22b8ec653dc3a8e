// The 29 parameters as a host sees them, and the community validator's parameter habits.
#include "RealPlugin.h"

#include <cmath>
#include <random>

using vtest::RealPlugin;

namespace {

struct Row {
  const char* name;
  double min, max, def;
  bool stepped;
};

const Row kTable[29] = {
    {"Imprint", 0, 100, 62, false},   {"Bare", 0, 100, 0, false},        {"Carve", 0, 100, 55, false},
    {"Source", 0, 100, 0, false},     {"Body", 0, 10, 0, true},          {"Exciter", 0, 5, 2, true},
    {"Decay", 15, 3000, 143, false},  {"Damper", 0, 100, 30, false},     {"Inharm", 0, 100, 12, false},
    {"Sympathy", 0, 100, 25, false},  {"Attack", 0, 2000, 12, false},    {"Decay", 5, 6000, 400, false},
    {"Sustain", 0, 100, 70, false},   {"Release", 20, 8000, 900, false}, {"Cutoff", 80, 18000, 2400, false},
    {"Resonance", 0, 150, 68, false}, {"Env amt", 0, 6, 2.8, false},     {"LFO rate", 0, 12, 0, false},
    {"LFO amt", 0, 5, 0, false},      {"Glide", 0, 800, 0, false},       {"Voices", 1, 16, 8, true},
    {"Delay", 20, 1500, 340, false},  {"Dly mix", 0, 100, 18, false},    {"Verb size", 0, 100, 50, false},
    {"Verb mix", 0, 100, 24, false},  {"Level", -24, 12, 0, false},      {"Quality", 0, 2, 0, true},
    {"Forget", 1, 90, 7, false},      {"Engrave", 0, 200, 120, false},
};

std::vector<double> values(const vhost::Instance& inst) {
  std::vector<double> v;
  for (uint32_t i = 0; i < inst.paramCount(); ++i) v.push_back(inst.paramValue(i));
  return v;
}

}  // namespace

TEST_F(RealPlugin, TwentyNineParametersWithTheTablesDefaults) {
  auto inst = make();
  ASSERT_EQ(inst->paramCount(), 29u);
  for (uint32_t i = 0; i < 29; ++i) {
    clap_param_info_t info{};
    ASSERT_TRUE(inst->paramInfo(i, info));
    EXPECT_EQ(info.id, i);
    EXPECT_STREQ(info.name, kTable[i].name);
    EXPECT_STREQ(info.module, "");
    EXPECT_EQ(info.min_value, kTable[i].min) << i;
    EXPECT_EQ(info.max_value, kTable[i].max) << i;
    EXPECT_EQ(info.default_value, kTable[i].def) << i;
    EXPECT_EQ(inst->paramValue(i), kTable[i].def) << i;
    EXPECT_TRUE(info.flags & CLAP_PARAM_IS_AUTOMATABLE);
    EXPECT_EQ((info.flags & CLAP_PARAM_IS_STEPPED) != 0, kTable[i].stepped) << i;
  }
  clap_param_info_t info{};
  EXPECT_FALSE(inst->paramInfo(29, info));
  double v = 0;
  EXPECT_FALSE(inst->params->get_value(inst->get(), 29, &v));
}

TEST_F(RealPlugin, DisplayTexts) {
  auto inst = make();
  EXPECT_EQ(inst->valueToText(27, 1.0 * std::pow(90.0, 0.5)), "9.5 d");
  EXPECT_EQ(inst->valueToText(4, 3), "Upright high");
  EXPECT_EQ(inst->valueToText(26, 1), "x4");
  EXPECT_EQ(inst->valueToText(14, 2400), "2400 Hz");
  EXPECT_EQ(inst->valueToText(16, 2.8), "2.80 oct");
  EXPECT_EQ(inst->valueToText(99, 1), "");
}

TEST_F(RealPlugin, EveryParameterConvertsValueTextValue) {
  auto inst = make();
  std::mt19937 rng(7);
  for (uint32_t id = 0; id < inst->paramCount(); ++id) {
    clap_param_info_t info{};
    ASSERT_TRUE(inst->paramInfo(id, info));
    std::uniform_real_distribution<double> dist(info.min_value, info.max_value);
    std::vector<double> probes = {info.min_value, info.max_value, info.default_value};
    for (int k = 0; k < 20; ++k) probes.push_back(dist(rng));
    for (double v : probes) {
      const std::string text = inst->valueToText(id, v);
      ASSERT_FALSE(text.empty()) << id;
      double back = 0;
      ASSERT_TRUE(inst->textToValue(id, text, back)) << id << " '" << text << "'";
      EXPECT_GE(back, info.min_value);
      EXPECT_LE(back, info.max_value);
      EXPECT_EQ(inst->valueToText(id, back), text) << id;
    }
  }
}

TEST_F(RealPlugin, SteppedValuesSnapAndDoublesDoNot) {
  auto inst = make();
  vhost::InputEvents in;
  vhost::OutputEvents out;
  in.addParam(0, 4, 3.6);
  in.addParam(0, 20, 2.5);
  in.addParam(0, 0, 33.33);
  in.addParam(0, 25, 99.0);
  inst->flushParams(in, out);
  EXPECT_EQ(inst->paramValue(4), 4.0);
  EXPECT_EQ(inst->paramValue(20), 3.0);
  EXPECT_EQ(inst->paramValue(0), 33.33);
  EXPECT_EQ(inst->paramValue(25), 12.0);
}

TEST_F(RealPlugin, RandomValuesThroughEventsAndFlushGiveTheSameState) {
  auto viaFlush = make();
  auto viaProcess = make();
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> wide(-500.0, 20000.0);
  vhost::InputEvents in;
  for (int round = 0; round < 20; ++round) {
    for (uint32_t id = 0; id < 29; ++id) {
      clap_param_info_t info{};
      viaFlush->paramInfo(id, info);
      const double pick[] = {info.min_value, info.max_value, wide(rng), NAN, -INFINITY};
      in.addParam(0, id, pick[(round + id) % 5], nullptr);
    }
  }
  in.addParam(0, 3, 50.0, nullptr, 77);  // foreign event space: ignored by both
  vhost::OutputEvents out;
  viaFlush->flushParams(in, out);

  ASSERT_TRUE(viaProcess->activate(48000, 1, 128));
  ASSERT_TRUE(viaProcess->startProcessing());
  vhost::AudioBuffers buf;
  buf.configure({2}, 128, false);
  ASSERT_EQ(viaProcess->process(buf, 128, in, out), CLAP_PROCESS_CONTINUE);
  viaProcess->stopProcessing();
  viaProcess->deactivate();
  EXPECT_EQ(values(*viaFlush), values(*viaProcess));
  for (double v : values(*viaFlush)) EXPECT_TRUE(std::isfinite(v));
}
