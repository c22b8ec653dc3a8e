// Our small LV2 host on lilv: finds a plug-in through LV2_PATH, lists its ports and presets, runs an instance with
// MIDI from an atom sequence, renders timed MIDI, and saves, restores and applies states.
#pragma once

#include "MidiSource.h"
#include "Render.h"

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lv2h {

// The lilv world over LV2_PATH (or lilv's default path) and one URID map for everything it hosts.
class World {
 public:
  World();
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  LilvWorld* get() const { return world; }
  const LilvPlugin* plugin(const std::string& uri) const;
  LV2_URID map(const char* uri);
  const char* unmap(LV2_URID id);
  LV2_URID_Map* mapFeature() { return &mapData; }
  LV2_URID_Unmap* unmapFeature() { return &unmapData; }

 private:
  LilvWorld* world = nullptr;
  std::mutex mutex;  // the plug-in may map from its own threads
  std::map<std::string, LV2_URID> ids;
  std::vector<std::string> uris;  // index id - 1
  LV2_URID_Map mapData{};
  LV2_URID_Unmap unmapData{};
};

struct PortInfo {
  enum class Kind { Control, Audio, Atom, Other };
  uint32_t index = 0;
  Kind kind = Kind::Other;
  bool input = false;
  bool optional = false;  // lv2:connectionOptional
  std::string symbol;
  std::string name;
  float min = 0.0f, max = 0.0f, def = 0.0f;
  bool integer = false, toggled = false, enumeration = false, logarithmic = false;
  std::string unit;  // the unit's URI or its rdfs:label / units:symbol; empty when none
  std::vector<std::pair<float, std::string>> scalePoints;  // sorted by value
};
std::vector<PortInfo> listPorts(World& world, const LilvPlugin* plugin);

struct PresetInfo {
  std::string uri;
  std::string name;
  std::string bank;  // the bank's label, empty when none
};
// Sorted by URI, which is the plug-in's own numbering.
std::vector<PresetInfo> listPresets(World& world, const LilvPlugin* plugin);

// One instance with every port connected to buffers of our own; optional outputs only when asked for.
class Instance {
 public:
  Instance(World& world, const LilvPlugin* plugin, double rate, uint32_t maxBlock, bool connectOptional = true);
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  bool ok() const { return instance != nullptr; }
  LilvInstance* get() const { return instance; }
  const std::vector<PortInfo>& ports() const { return portList; }
  uint32_t audioOutputs() const { return static_cast<uint32_t>(audioPorts.size()); }
  const std::string& audioName(uint32_t i) const { return portList[audioPorts[i]].name; }

  bool setControl(const std::string& symbol, float value);
  bool setControlIndex(uint32_t controlNumber, float value);  // the n-th control input
  float control(const std::string& symbol) const;

  void activate();
  void deactivate();
  // Runs one block; events are (frame, status, data1, data2), frames within the block.
  struct Midi {
    uint32_t frame;
    uint8_t bytes[3];
    uint32_t size;
  };
  void run(uint32_t frames, const std::vector<Midi>& events);
  // Null when the output is not connected.
  const float* output(uint32_t i) const;

  // The plug-in's own state properties through its state interface, without lilv in between.
  bool saveChunk(std::vector<uint8_t>& out);
  // A state the way hosts keep one: lilv reads it from the instance and writes it as Turtle.
  std::string saveStateTurtle();
  bool restoreStateTurtle(const std::string& turtle);
  // Applies a preset of the bundle as hosts do (lilv_state_restore); false when there is no such preset.
  bool applyPreset(const std::string& presetUri);

 private:
  static void setPortValue(const char* symbol, void* data, const void* value, uint32_t size, uint32_t type);
  static const void* getPortValue(const char* symbol, void* data, uint32_t* size, uint32_t* type);

  World& world;
  const LilvPlugin* plugin;
  LilvInstance* instance = nullptr;
  double rate;
  uint32_t maxBlock;
  bool active = false;
  std::vector<PortInfo> portList;
  std::vector<float> controls;  // by port index
  std::vector<uint32_t> audioPorts;
  std::vector<std::vector<float>> audio;  // by audio output
  std::vector<bool> audioConnected;
  std::vector<uint64_t> atomBuffer;  // the MIDI input sequence, 8-byte aligned
  int32_t maxBlockOption = 0, nominalBlockOption = 0;
  LV2_URID sequenceType = 0, midiEventType = 0;  // mapped once, so run() takes no lock of ours
  std::vector<LV2_Feature> featureData;
  std::vector<const LV2_Feature*> features;
  struct Options;
  std::unique_ptr<Options> options;
};

struct RenderOptions {
  double sampleRate = 48000.0;
  uint32_t blockSize = 512;
  double tailSeconds = 2.0;
  std::vector<std::pair<std::string, float>> controls;  // by symbol, set before the first block
};
// Plays timed MIDI as vhost::render does for CLAP (same frames, same block cuts) into every connected output.
bool render(Instance& inst, const std::vector<vhost::TimedMidi>& midi, const RenderOptions& opts,
            vhost::RenderResult& result, std::string& error);

}  // namespace lv2h
