// Writes an LV2 bundle's Turtle (manifest, plug-in description, presets) from a plug-in's own tables, so that the
// description a host reads is the one the binary was built from.
#pragma once

#include <string>
#include <vector>

namespace vfw {

class Plugin;

struct Lv2PresetSpec {
  std::string name;
  std::string comment;  // may be empty
  std::string bank;     // may be empty
  std::string loadKey;  // what the plug-in's preset hook recalls
  std::vector<double> values;  // per parameter; NaN where the preset leaves a parameter alone
};

struct Lv2BundleSpec {
  std::string uri;
  std::string binary;  // file name inside the bundle
  std::string name;
  std::string vendor;
  std::string description;
  int minorVersion = 0;
  int microVersion = 0;
  std::vector<std::string> busNames;  // per output bus of the widest layout
  std::vector<Lv2PresetSpec> presets;
  std::string uiUri;  // empty: no editor
};

// Port symbols: C identifiers made from the names, unique within the plug-in.
std::vector<std::string> lv2ControlSymbols(const Plugin& plug);

std::string lv2ManifestTurtle(const Plugin& plug, const Lv2BundleSpec& spec);
std::string lv2PluginTurtle(const Plugin& plug, const Lv2BundleSpec& spec);
std::string lv2PresetsTurtle(const Plugin& plug, const Lv2BundleSpec& spec);

// Number text for Turtle: fixed, six decimals, independent of the C locale.
std::string turtleNumber(double v);

}  // namespace vfw
