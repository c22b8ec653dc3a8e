// vorrel-host: inspect any .clap, render MIDI through it to WAV, and check its state round trip.
#include "ClapHost.h"
#include "GuiCommands.h"
#include "Render.h"
#include "Speed.h"

#include <clap/ext/params.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace vhost;

namespace vhost {
int cmdPresets(Library& lib);
}

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: vorrel-host info PLUGIN.clap\n"
               "       vorrel-host render PLUGIN.clap [--out FILE.wav] [--midi FILE.mid] [--rate HZ] [--block N]\n"
               "                          [--buses N] [--64] [--tail SECONDS] [--set ID=VALUE]...\n"
               "                          [--state-in FILE] [--state-out FILE] [--speed 1|10|100]\n"
               "                          [--realtime] [--pace N]\n"
               "       vorrel-host state-check PLUGIN.clap\n"
               "       vorrel-host presets PLUGIN.clap\n"
               "       vorrel-host gui PLUGIN.clap\n"
               "       vorrel-host screenshot PLUGIN.clap --out FILE.png [--size WxH] [--frames N]\n");
  return 2;
}

const char* firstPluginId(const Library& lib) {
  const clap_plugin_descriptor_t* d = lib.factory()->get_plugin_descriptor(lib.factory(), 0);
  return d ? d->id : nullptr;
}

std::string flagsText(uint32_t f) {
  std::string s;
  auto add = [&s](const char* t) { s += (s.empty() ? "" : ","), s += t; };
  if (f & CLAP_PARAM_IS_AUTOMATABLE) add("automatable");
  if (f & CLAP_PARAM_IS_STEPPED) add("stepped");
  if (f & CLAP_PARAM_IS_HIDDEN) add("hidden");
  if (f & CLAP_PARAM_IS_READONLY) add("readonly");
  if (f & CLAP_PARAM_IS_MODULATABLE) add("modulatable");
  return s.empty() ? "-" : s;
}

void printPorts(const Instance& inst) {
  for (const auto& p : inst.audioPorts(false))
    std::printf("  out %u \"%s\" %u ch %s%s\n", p.id, p.name.c_str(), p.channels, p.type.c_str(),
                (p.flags & CLAP_AUDIO_PORT_SUPPORTS_64BITS) ? " 64-bit" : "");
}

int cmdInfo(Library& lib, Host& host) {
  const clap_plugin_factory_t* f = lib.factory();
  const uint32_t n = f->get_plugin_count(f);
  for (uint32_t i = 0; i < n; ++i) {
    const clap_plugin_descriptor_t* d = f->get_plugin_descriptor(f, i);
    if (!d) continue;
    std::printf("plugin %u\n  id: %s\n  name: %s\n  vendor: %s\n  version: %s\n  clap: %u.%u.%u\n  description: %s\n",
                i, d->id, d->name, d->vendor, d->version, d->clap_version.major, d->clap_version.minor,
                d->clap_version.revision, d->description);
    std::printf("  features:");
    for (const char* const* ft = d->features; ft && *ft; ++ft) std::printf(" %s", *ft);
    std::printf("\n");
    Instance inst(lib, host, d->id);
    if (!inst.ok()) {
      std::printf("  (instance could not be created)\n");
      continue;
    }
    std::printf("audio ports (current configuration)\n");
    printPorts(inst);
    std::printf("audio-ports configurations\n");
    for (uint32_t c = 0; c < inst.audioConfigCount(); ++c) {
      clap_audio_ports_config_t cfg{};
      if (inst.audioConfig(c, cfg))
        std::printf("  %u \"%s\": %u in, %u out\n", cfg.id, cfg.name, cfg.input_port_count, cfg.output_port_count);
    }
    std::printf("note ports\n");
    for (const auto& np : inst.notePorts(true))
      std::printf("  in %u \"%s\" dialects 0x%x preferred 0x%x\n", np.id, np.name, np.supported_dialects,
                  np.preferred_dialect);
    if (inst.hasTail()) std::printf("tail: %u samples\n", inst.tailSamples());
    std::printf("parameters (%u)\n", inst.paramCount());
    std::printf("  %-3s %-12s %10s %10s %10s  %-22s %s\n", "id", "name", "min", "max", "default", "flags",
                "default text");
    for (uint32_t p = 0; p < inst.paramCount(); ++p) {
      clap_param_info_t info{};
      if (!inst.paramInfo(p, info)) continue;
      std::printf("  %-3u %-12s %10.3f %10.3f %10.3f  %-22s %s\n", info.id, info.name, info.min_value, info.max_value,
                  info.default_value, flagsText(info.flags).c_str(),
                  inst.valueToText(info.id, info.default_value).c_str());
    }
  }
  return 0;
}

bool readFile(const std::string& path, std::vector<uint8_t>& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(f);
}

int cmdRender(Library& lib, Host& host, int argc, char** argv) {
  RenderOptions opts;
  std::string outPath = "demo.wav";
  std::string midiPath;
  std::string stateIn;
  std::string stateOut;
  uint32_t buses = 1;
  double speed = 0.0;
  for (int i = 0; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* name) -> const char* {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "%s needs a value\n", name);
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--out")
      outPath = value("--out");
    else if (a == "--midi")
      midiPath = value("--midi");
    else if (a == "--rate")
      opts.sampleRate = std::atof(value("--rate"));
    else if (a == "--block")
      opts.blockSize = static_cast<uint32_t>(std::atoi(value("--block")));
    else if (a == "--buses")
      buses = static_cast<uint32_t>(std::atoi(value("--buses")));
    else if (a == "--64")
      opts.use64 = true;
    else if (a == "--tail")
      opts.tailSeconds = std::atof(value("--tail"));
    else if (a == "--state-in")
      stateIn = value("--state-in");
    else if (a == "--state-out")
      stateOut = value("--state-out");
    else if (a == "--speed")
      speed = std::atof(value("--speed"));
    else if (a == "--realtime")
      opts.offline = false;
    else if (a == "--pace")
      opts.pace = std::atof(value("--pace"));
    else if (a == "--set") {
      const std::string kv = value("--set");
      const auto eq = kv.find('=');
      if (eq == std::string::npos) return usage();
      opts.params.emplace_back(static_cast<clap_id>(std::atoi(kv.substr(0, eq).c_str())),
                               std::atof(kv.c_str() + eq + 1));
    } else {
      return usage();
    }
  }
  if (buses < 1) buses = 1;
  opts.configIndex = buses - 1;

  std::vector<TimedMidi> midi = demoPhrase();
  std::string error;
  if (!midiPath.empty() && !readMidiFile(midiPath, midi, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  // The machine memory's Speed for this render: an hour of playing in 36 seconds at x100.
  MachineSpeed machineSpeed;
  if (speed != 0.0 && !machineSpeed.set(speed)) {
    std::fprintf(stderr, "--speed takes 1, 10 or 100, with the machine memory available\n");
    return 1;
  }
  Instance inst(lib, host, firstPluginId(lib));
  if (!inst.ok()) {
    std::fprintf(stderr, "cannot create the plug-in\n");
    return 1;
  }
  if (!stateIn.empty()) {
    std::vector<uint8_t> bytes;
    if (!readFile(stateIn, bytes) || !inst.loadState(bytes)) {
      std::fprintf(stderr, "cannot load state from %s\n", stateIn.c_str());
      return 1;
    }
  }
  RenderResult result;
  if (!render(inst, midi, opts, result, error)) {
    std::fprintf(stderr, "render failed: %s\n", error.c_str());
    return 1;
  }
  // Bus 0 goes to --out; further buses to the same name with "-<bus name>" before the extension.
  for (size_t port = 0; port < result.portNames.size(); ++port) {
    std::string path = outPath;
    if (port > 0) {
      const auto dot = path.rfind('.');
      std::string suffix = "-" + result.portNames[port];
      for (auto& ch : suffix) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
      path = dot == std::string::npos ? path + suffix : path.substr(0, dot) + suffix + path.substr(dot);
    }
    if (!writeWav(path, result, port * 2, 2, opts.sampleRate, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
    std::printf("wrote %s (%s, %.2f s)\n", path.c_str(), result.portNames[port].c_str(), result.audioSeconds);
  }
  if (!stateOut.empty()) {
    std::vector<uint8_t> bytes;
    if (!inst.saveState(bytes) || !writeFile(stateOut, bytes)) {
      std::fprintf(stderr, "cannot save state to %s\n", stateOut.c_str());
      return 1;
    }
  }
  std::printf("realtime %.2f\n", result.realtimeFactor());
  return 0;
}

int cmdStateCheck(Library& lib, Host& host) {
  Instance a(lib, host, firstPluginId(lib));
  Instance b(lib, host, firstPluginId(lib));
  if (!a.ok() || !b.ok()) return 1;
  std::vector<uint8_t> first;
  std::vector<uint8_t> second;
  const bool saved = a.saveState(first, 23);
  host.clearCalls();
  const bool loaded = saved && b.loadState(first, 17);
  // A host that caches values learns of the loaded ones only through a values rescan.
  const int rescans = host.countCalls("params.rescan " + std::to_string(CLAP_PARAM_RESCAN_VALUES));
  const bool resaved = loaded && b.saveState(second);
  const bool same = resaved && first == second;
  std::printf("state: %zu bytes, save %s, load %s, save again %s, value rescans %d\n", first.size(),
              saved ? "ok" : "FAILED", loaded ? "ok" : "FAILED", same ? "identical" : "DIFFERENT", rescans);
  return same && rescans == 1 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return usage();
  const std::string cmd = argv[1];
  Library lib;
  std::string error;
  if (!lib.load(argv[2], error)) {
    std::fprintf(stderr, "cannot load %s: %s\n", argv[2], error.c_str());
    return 1;
  }
  Host host;
  if (cmd == "info") return cmdInfo(lib, host);
  if (cmd == "render") return cmdRender(lib, host, argc - 3, argv + 3);
  if (cmd == "state-check") return cmdStateCheck(lib, host);
  if (cmd == "presets") return cmdPresets(lib);
  if (cmd == "gui" || cmd == "screenshot") {
    const int rc = cmd == "gui" ? cmdGui(lib, host, argc - 3, argv + 3) : cmdScreenshot(lib, host, argc - 3, argv + 3);
    return rc == 2 ? usage() : rc;
  }
  return usage();
}
