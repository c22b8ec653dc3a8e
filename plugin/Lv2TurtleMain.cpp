// Build-time generator of Vorrel.lv2's Turtle: manifest.ttl, Vorrel.ttl and presets.ttl, written from the
// parameter table, the output layout and the factory preset table the plug-in itself is built from.
#include "FactoryPresets.h"
#include "Lv2Turtle.h"
#include "ParamTable.h"
#include "Plugin.h"
#include "VorrelConfig.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

bool writeFile(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s BUNDLE_DIR BINARY_NAME MINOR MICRO\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  // A bare framework plug-in carries the same parameter table and layout as Vorrel, without its machine memory.
  vfw::InstanceInfo info;
  vfw::Plugin plug(info, vorrelConfig());
  declareParams(plug);

  vfw::Lv2BundleSpec spec;
  spec.uri = kVorrelLv2Uri;
  spec.binary = argv[2];
  spec.name = kVorrelName;
  spec.vendor = kVorrelVendor;
  spec.description = kVorrelDescription;
  spec.minorVersion = std::atoi(argv[3]);
  spec.microVersion = std::atoi(argv[4]);
  spec.uiUri = kVorrelLv2UiUri;
  spec.busNames.assign(std::begin(kVorrelBusNames), std::end(kVorrelBusNames));
  for (const auto& preset : vorrel::kFactoryPresets) {
    vorrel::PresetValues values;
    vorrel::PresetHas has;
    vorrel::factoryPresetValues(preset, values, has);
    vfw::Lv2PresetSpec p;
    p.name = preset.name;
    p.comment = preset.subtitle;
    p.bank = preset.category;
    p.loadKey = preset.name;
    // As a recall writes them: what the preset stores, defaults for the rest, and the two machine-wide memory
    // settings left alone.
    for (int i = 0; i < kNumParams; ++i) {
      const vfw::Param& param = *plug.GetParam(i);
      const auto idx = static_cast<size_t>(i);
      double v = has[idx] && std::isfinite(values[idx]) ? values[idx] : param.GetDefault();
      if (i == kForget || i == kEngrave) v = std::numeric_limits<double>::quiet_NaN();
      p.values.push_back(std::isnan(v) ? v : param.Constrain(v));
    }
    spec.presets.push_back(std::move(p));
  }
  const bool ok = writeFile(dir + "/manifest.ttl", vfw::lv2ManifestTurtle(plug, spec)) &&
                  writeFile(dir + "/" + spec.name + ".ttl", vfw::lv2PluginTurtle(plug, spec)) &&
                  writeFile(dir + "/presets.ttl", vfw::lv2PresetsTurtle(plug, spec));
  if (!ok) {
    std::fprintf(stderr, "cannot write the Turtle files into %s\n", dir.c_str());
    return 1;
  }
  return 0;
}

// The generator builds no instances; the framework's factory needs the symbol.
vfw::Plugin* vfw::MakePlug(const vfw::InstanceInfo&) { return nullptr; }
