// The Turtle text of an LV2 bundle, made from the plug-in's parameters, layout and preset table.
#include "Lv2Turtle.h"

#include "Lv2Ports.h"
#include "Plugin.h"

#include <charconv>
#include <cstdio>
#include <cmath>
#include <set>

namespace vfw {
namespace {

const char* const kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pg: <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string quoted(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(c);
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out.push_back(c);
    }
  }
  return out + "\"";
}

std::string iri(const std::string& s) { return "<" + s + ">"; }

std::string symbolOf(const std::string& name) {
  std::string s;
  for (char c : name) {
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (alnum) {
      s.push_back(static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
    } else if (!s.empty() && s.back() != '_') {
      s.push_back('_');
    }
  }
  while (!s.empty() && s.back() == '_') s.pop_back();
  if (s.empty() || (s[0] >= '0' && s[0] <= '9')) s = std::string(1, 'p') + s;
  return s;
}

// The LV2 unit for a parameter's label; labels LV2 has no unit for get one of their own.
std::string unitOf(const std::string& label) {
  static const std::pair<const char*, const char*> kUnits[] = {
      {"%", "units:pc"}, {"ms", "units:ms"}, {"s", "units:s"},     {"Hz", "units:hz"},
      {"dB", "units:db"}, {"oct", "units:oct"}, {"ct", "units:cent"}, {"st", "units:semitone12TET"}};
  for (const auto& [l, u] : kUnits)
    if (label == l) return u;
  return "[ a units:Unit ; rdfs:label " + quoted(label) + " ; units:symbol " + quoted(label) +
         " ; units:render " + quoted("%f " + label) + " ]";
}

std::string bankUri(const Lv2BundleSpec& spec, const std::string& bank) { return spec.uri + ":bank:" + symbolOf(bank); }

std::string groupUri(const Lv2BundleSpec& spec, const std::string& bus) { return spec.uri + ":group:" + symbolOf(bus); }

std::string presetUri(const Lv2BundleSpec& spec, size_t i) {
  char num[16];
  std::snprintf(num, sizeof num, "%02zu", i);
  return spec.uri + ":preset:" + num;
}

}  // namespace

std::string turtleNumber(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
  return std::string(buf, r.ptr);
}

std::vector<std::string> lv2ControlSymbols(const Plugin& plug) {
  std::vector<std::string> out;
  std::set<std::string> used = {"midi_in"};
  for (int i = 0; i < plug.NParams(); ++i) {
    std::string s = symbolOf(plug.GetParam(i)->GetName());
    if (used.count(s)) {
      s += '_';
      s += std::to_string(i);
    }
    used.insert(s);
    out.push_back(s);
  }
  return out;
}

std::string lv2ManifestTurtle(const Plugin& plug, const Lv2BundleSpec& spec) {
  std::string t = kPrefixes;
  const char* kind = plug.GetConfig().plugType == PlugType::Instrument ? "lv2:InstrumentPlugin" : "lv2:Plugin";
  t += iri(spec.uri) + "\n  a lv2:Plugin, " + kind + " ;\n  lv2:binary " + iri(spec.binary) +
       " ;\n  rdfs:seeAlso <" + spec.name + ".ttl> .\n";
  if (!spec.uiUri.empty())
    t += "\n" + iri(spec.uiUri) + "\n  a ui:X11UI ;\n  ui:binary " + iri(spec.binary) + " ;\n  rdfs:seeAlso <" +
         spec.name + ".ttl> .\n";
  for (size_t i = 0; i < spec.presets.size(); ++i) {
    t += '\n';
    t += iri(presetUri(spec, i)) + "\n  a pset:Preset ;\n  lv2:appliesTo " + iri(spec.uri) + " ;\n  rdfs:label " +
         quoted(spec.presets[i].name) + " ;\n  rdfs:seeAlso <presets.ttl> .\n";
  }
  return t;
}

std::string lv2PluginTurtle(const Plugin& plug, const Lv2BundleSpec& spec) {
  const Config& config = plug.GetConfig();
  const Lv2Ports ports = lv2Ports(config);
  std::string t = kPrefixes;
  const char* kind = config.plugType == PlugType::Instrument ? "lv2:InstrumentPlugin" : "lv2:Plugin";
  t += iri(spec.uri) + "\n  a lv2:Plugin, " + kind + " ;\n";
  t += "  doap:name " + quoted(spec.name) + " ;\n";
  t += "  doap:maintainer [ foaf:name " + quoted(spec.vendor) + " ] ;\n";
  t += "  rdfs:comment " + quoted(spec.description) + " ;\n";
  t += "  lv2:minorVersion " + std::to_string(spec.minorVersion) + " ;\n";
  t += "  lv2:microVersion " + std::to_string(spec.microVersion) + " ;\n";
  t += "  lv2:requiredFeature urid:map ;\n";
  t += "  lv2:optionalFeature lv2:hardRTCapable, opts:options ;\n";
  t += "  opts:supportedOption bufsz:maxBlockLength, bufsz:nominalBlockLength ;\n";
  t += "  lv2:extensionData state:interface ;\n";
  if (!spec.uiUri.empty()) t += "  ui:ui " + iri(spec.uiUri) + " ;\n";

  std::vector<std::string> portText;
  if (ports.midiIn != Lv2Ports::kNone)
    portText.push_back("[\n    a lv2:InputPort, atom:AtomPort ;\n    atom:bufferType atom:Sequence ;\n"
                       "    atom:supports midi:MidiEvent ;\n    lv2:designation lv2:control ;\n    lv2:index " +
                       std::to_string(ports.midiIn) + " ;\n    lv2:symbol \"midi_in\" ;\n    lv2:name \"MIDI Input\"\n  ]");
  const BusLayout& layout = plug.Layouts()[static_cast<size_t>(ports.layoutIndex)];
  uint32_t index = ports.firstAudio;
  for (int b = 0; b < layout.nOutputBuses; ++b) {
    const std::string bus = b < static_cast<int>(spec.busNames.size()) ? spec.busNames[static_cast<size_t>(b)]
                                                                        : "Output " + std::to_string(b + 1);
    const bool stereo = layout.outputChannels[b] == 2;
    for (int c = 0; c < layout.outputChannels[b]; ++c, ++index) {
      std::string side = stereo ? (c == 0 ? "L" : "R") : std::to_string(c + 1);
      std::string p = "[\n    a lv2:OutputPort, lv2:AudioPort ;\n    lv2:index " + std::to_string(index) +
                      " ;\n    lv2:symbol " + quoted(symbolOf(bus + "_" + side)) + " ;\n    lv2:name " +
                      quoted(bus + " " + side) + " ;\n    pg:group " + iri(groupUri(spec, bus));
      if (stereo) p += std::string(" ;\n    lv2:designation ") + (c == 0 ? "pg:left" : "pg:right");
      // Extra buses cost twin voices only while connected.
      if (b > 0) p += " ;\n    lv2:portProperty lv2:connectionOptional";
      portText.push_back(p + "\n  ]");
    }
  }
  const std::vector<std::string> symbols = lv2ControlSymbols(plug);
  for (int i = 0; i < plug.NParams(); ++i) {
    const Param& param = *plug.GetParam(i);
    std::string p = "[\n    a lv2:InputPort, lv2:ControlPort ;\n    lv2:index " +
                    std::to_string(ports.firstControl + static_cast<uint32_t>(i)) + " ;\n    lv2:symbol " +
                    quoted(symbols[static_cast<size_t>(i)]) + " ;\n    lv2:name " + quoted(param.GetName()) +
                    " ;\n    lv2:default " + turtleNumber(param.GetDefault()) + " ;\n    lv2:minimum " +
                    turtleNumber(param.GetMin()) + " ;\n    lv2:maximum " + turtleNumber(param.GetMax());
    const std::string label = param.GetLabel();
    if (!label.empty()) p += " ;\n    units:unit " + unitOf(label);
    std::vector<std::string> props;
    switch (param.Type()) {
      case ParamType::Enum:
        props = {"lv2:integer", "lv2:enumeration"};
        break;
      case ParamType::Int:
        props = {"lv2:integer"};
        break;
      case ParamType::Bool:
        props = {"lv2:toggled"};
        break;
      default:
        if (param.Shape() == ParamShape::Exp) props = {"pprops:logarithmic"};
        break;
    }
    for (size_t k = 0; k < props.size(); ++k) p += (k ? ", " : " ;\n    lv2:portProperty ") + props[k];
    for (int k = 0; k < param.NDisplayTexts(); ++k)
      p += std::string(k ? " ,\n      " : " ;\n    lv2:scalePoint ") + "[ rdfs:label " +
           quoted(param.GetDisplayText(k)) + " ; rdf:value " + turtleNumber(param.GetMin() + k) + " ]";
    portText.push_back(p + "\n  ]");
  }
  for (size_t k = 0; k < portText.size(); ++k) t += (k ? " , " : "  lv2:port ") + portText[k];
  t += " .\n";
  // Each output bus is a port group, so hosts show it as one stereo output.
  for (int b = 0; b < layout.nOutputBuses; ++b) {
    const std::string bus = b < static_cast<int>(spec.busNames.size()) ? spec.busNames[static_cast<size_t>(b)]
                                                                        : "Output " + std::to_string(b + 1);
    t += '\n';
    t += iri(groupUri(spec, bus)) + "\n  a pg:OutputGroup" +
         (layout.outputChannels[b] == 2 ? std::string(", pg:StereoGroup") : std::string()) +
         " ;\n  lv2:symbol " + quoted(symbolOf(bus)) + " ;\n  rdfs:label " + quoted(bus) + " .\n";
  }
  if (!spec.uiUri.empty()) {
    // The editor is the plug-in's own and opens inside the host's window: no instance, no editor.
    t += '\n';
    t += iri(spec.uiUri) +
         "\n  a ui:X11UI ;\n"
         "  lv2:requiredFeature ui:idleInterface, ui:parent, <http://lv2plug.in/ns/ext/instance-access> ;\n"
         "  lv2:optionalFeature ui:resize, ui:touch ;\n"
         "  lv2:extensionData ui:idleInterface, ui:resize .\n";
  }
  return t;
}

std::string lv2PresetsTurtle(const Plugin& plug, const Lv2BundleSpec& spec) {
  std::string t = kPrefixes;
  std::set<std::string> banks;
  for (const auto& p : spec.presets)
    if (!p.bank.empty() && banks.insert(p.bank).second)
      t += iri(bankUri(spec, p.bank)) + "\n  a pset:Bank ;\n  rdfs:label " + quoted(p.bank) + " .\n\n";
  const std::vector<std::string> symbols = lv2ControlSymbols(plug);
  const std::string key = lv2PresetKey(spec.uri.c_str());
  for (size_t i = 0; i < spec.presets.size(); ++i) {
    const Lv2PresetSpec& p = spec.presets[i];
    t += iri(presetUri(spec, i)) + "\n  a pset:Preset ;\n  lv2:appliesTo " + iri(spec.uri) + " ;\n  rdfs:label " +
         quoted(p.name) + " ;\n";
    if (!p.comment.empty()) t += "  rdfs:comment " + quoted(p.comment) + " ;\n";
    if (!p.bank.empty()) t += "  pset:bank " + iri(bankUri(spec, p.bank)) + " ;\n";
    std::string values;
    for (size_t k = 0; k < p.values.size() && k < symbols.size(); ++k) {
      if (std::isnan(p.values[k])) continue;
      values += std::string(values.empty() ? "  lv2:port " : " ,\n    ") + "[ lv2:symbol " + quoted(symbols[k]) +
                " ; pset:value " + turtleNumber(p.values[k]) + " ]";
    }
    if (!values.empty()) t += values + " ;\n";
    // The plug-in recalls the preset itself, so what ports cannot carry (its name, the track extras) comes too.
    t += "  state:state [ " + iri(key) + " " + quoted(p.loadKey) + " ] .\n\n";
  }
  return t;
}

}  // namespace vfw
