// vorrel-lv2host: load an LV2 plug-in through lilv (LV2_PATH), list its ports and presets, render MIDI to WAV,
// and check that its state survives a round trip into a fresh instance.
#include "Lv2Host.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: vorrel-lv2host info URI\n"
               "       vorrel-lv2host render URI [--out FILE.wav] [--midi FILE.mid] [--rate HZ] [--block N]\n"
               "                             [--max-block N] [--buses 1|3] [--tail SECONDS] [--set SYMBOL=VALUE]...\n"
               "                             [--preset PRESET_URI]\n"
               "       vorrel-lv2host state-check URI\n"
               "The plug-in is looked up in LV2_PATH (lilv's default path when unset).\n");
  return 2;
}

const char* kindText(const lv2h::PortInfo& p) {
  switch (p.kind) {
    case lv2h::PortInfo::Kind::Control:
      return "control";
    case lv2h::PortInfo::Kind::Audio:
      return "audio";
    case lv2h::PortInfo::Kind::Atom:
      return "atom";
    default:
      return "other";
  }
}

int cmdInfo(lv2h::World& world, const LilvPlugin* plugin) {
  std::printf("%s\n", lilv_node_as_uri(lilv_plugin_get_uri(plugin)));
  for (const auto& p : lv2h::listPorts(world, plugin)) {
    std::printf("  port %2u %-6s %-7s %-12s \"%s\"", p.index, p.input ? "in" : "out", kindText(p), p.symbol.c_str(),
                p.name.c_str());
    if (p.kind == lv2h::PortInfo::Kind::Control)
      std::printf(" %g..%g default %g%s%s%s", p.min, p.max, p.def, p.integer ? " integer" : "",
                  p.enumeration ? " enumeration" : "", p.logarithmic ? " logarithmic" : "");
    if (p.optional) std::printf(" optional");
    std::printf("\n");
    for (const auto& [v, label] : p.scalePoints) std::printf("           %g = \"%s\"\n", v, label.c_str());
  }
  const auto presets = lv2h::listPresets(world, plugin);
  std::printf("  %zu presets\n", presets.size());
  for (const auto& p : presets) std::printf("  preset %s \"%s\" [%s]\n", p.uri.c_str(), p.name.c_str(), p.bank.c_str());
  return 0;
}

int cmdRender(lv2h::World& world, const LilvPlugin* plugin, int argc, char** argv) {
  std::string outPath = "demo.wav", midiPath, preset;
  lv2h::RenderOptions opts;
  uint32_t maxBlock = 0;
  int buses = 1;
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    const bool more = i + 1 < argc;
    if (a == "--out" && more) {
      outPath = argv[++i];
    } else if (a == "--midi" && more) {
      midiPath = argv[++i];
    } else if (a == "--rate" && more) {
      opts.sampleRate = std::atof(argv[++i]);
    } else if (a == "--block" && more) {
      opts.blockSize = static_cast<uint32_t>(std::atoi(argv[++i]));
    } else if (a == "--max-block" && more) {
      maxBlock = static_cast<uint32_t>(std::atoi(argv[++i]));
    } else if (a == "--buses" && more) {
      buses = std::atoi(argv[++i]);
    } else if (a == "--tail" && more) {
      opts.tailSeconds = std::atof(argv[++i]);
    } else if (a == "--preset" && more) {
      preset = argv[++i];
    } else if (a == "--set" && more) {
      const std::string kv = argv[++i];
      const size_t eq = kv.find('=');
      if (eq == std::string::npos) return usage();
      opts.controls.emplace_back(kv.substr(0, eq), static_cast<float>(std::atof(kv.c_str() + eq + 1)));
    } else {
      return usage();
    }
  }
  if (!(opts.sampleRate > 0.0) || opts.blockSize == 0) return usage();
  std::vector<vhost::TimedMidi> midi = vhost::demoPhrase();
  std::string error;
  if (!midiPath.empty() && !vhost::readMidiFile(midiPath, midi, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  lv2h::Instance inst(world, plugin, opts.sampleRate, maxBlock ? maxBlock : opts.blockSize, buses > 1);
  if (!inst.ok()) {
    std::fprintf(stderr, "instantiation failed\n");
    return 1;
  }
  if (!preset.empty() && !inst.applyPreset(preset)) {
    std::fprintf(stderr, "no preset %s\n", preset.c_str());
    return 1;
  }
  vhost::RenderResult r;
  if (!lv2h::render(inst, midi, opts, r, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  if (!vhost::writeWav(outPath, r, 0, r.channels.size(), opts.sampleRate, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("wrote %s: %.2f s, %zu channels (", outPath.c_str(), r.audioSeconds, r.channels.size());
  for (size_t i = 0; i < r.portNames.size(); ++i) std::printf("%s%s", i ? ", " : "", r.portNames[i].c_str());
  std::printf("), real-time factor %.1f\n", r.realtimeFactor());
  return 0;
}

int cmdStateCheck(lv2h::World& world, const LilvPlugin* plugin) {
  std::vector<uint8_t> first, second;
  std::string turtle;
  {
    lv2h::Instance a(world, plugin, 48000.0, 512);
    if (!a.ok() || !a.saveChunk(first)) return std::fprintf(stderr, "cannot save the state\n"), 1;
    turtle = a.saveStateTurtle();
  }
  lv2h::Instance b(world, plugin, 48000.0, 512);
  if (!b.ok() || turtle.empty() || !b.restoreStateTurtle(turtle) || !b.saveChunk(second))
    return std::fprintf(stderr, "cannot restore the state\n"), 1;
  const bool same = first == second;
  std::printf("state: %zu bytes saved, %zu after the round trip, %s\n", first.size(), second.size(),
              same ? "identical" : "DIFFERENT");
  return same ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string cmd = argv[1];
  lv2h::World world;
  const LilvPlugin* plugin = world.plugin(argv[2]);
  if (!plugin) {
    std::fprintf(stderr, "no plug-in %s in LV2_PATH\n", argv[2]);
    return 1;
  }
  if (cmd == "info") return cmdInfo(world, plugin);
  if (cmd == "render") return cmdRender(world, plugin, argc - 3, argv + 3);
  if (cmd == "state-check") return cmdStateCheck(world, plugin);
  return usage();
}
