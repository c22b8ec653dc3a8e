// The LV2 host core: lilv world and URID map, port and preset listing, instances, rendering and states.
#include "Lv2Host.h"

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/port-props/port-props.h>
#include <lv2/presets/presets.h>
#include <lv2/state/state.h>
#include <lv2/units/units.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

namespace lv2h {
namespace {

constexpr size_t kAtomCapacity = 1 << 16;  // bytes of MIDI input per block
constexpr uint32_t kBufferFrames = 8192;     // output buffer frames at least

struct Node {
  LilvNode* n;
  explicit Node(LilvNode* node) : n(node) {}
  ~Node() { lilv_node_free(n); }
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  operator const LilvNode*() const { return n; }
};

std::string text(const LilvNode* n) {
  if (!n) return {};
  if (lilv_node_is_uri(n)) return lilv_node_as_uri(n);
  const char* s = lilv_node_as_string(n);
  return s ? s : "";
}

double threadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

}  // namespace

World::World() {
  world = lilv_world_new();
  lilv_world_load_all(world);
  mapData.handle = this;
  mapData.map = [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<World*>(h)->map(uri); };
  unmapData.handle = this;
  unmapData.unmap = [](LV2_URID_Unmap_Handle h, LV2_URID id) { return static_cast<World*>(h)->unmap(id); };
}

World::~World() { lilv_world_free(world); }

const LilvPlugin* World::plugin(const std::string& uri) const {
  Node node(lilv_new_uri(world, uri.c_str()));
  return lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
}

LV2_URID World::map(const char* uri) {
  if (!uri) return 0;
  std::lock_guard<std::mutex> lock(mutex);
  const auto it = ids.find(uri);
  if (it != ids.end()) return it->second;
  uris.emplace_back(uri);
  const auto id = static_cast<LV2_URID>(uris.size());
  ids.emplace(uri, id);
  return id;
}

const char* World::unmap(LV2_URID id) {
  std::lock_guard<std::mutex> lock(mutex);
  return (id >= 1 && id <= uris.size()) ? uris[id - 1].c_str() : nullptr;
}

std::vector<PortInfo> listPorts(World& w, const LilvPlugin* plugin) {
  LilvWorld* world = w.get();
  Node input(lilv_new_uri(world, LV2_CORE__InputPort));
  Node control(lilv_new_uri(world, LV2_CORE__ControlPort));
  Node audio(lilv_new_uri(world, LV2_CORE__AudioPort));
  Node atom(lilv_new_uri(world, LV2_ATOM__AtomPort));
  Node optional(lilv_new_uri(world, LV2_CORE__connectionOptional));
  Node integer(lilv_new_uri(world, LV2_CORE__integer));
  Node toggled(lilv_new_uri(world, LV2_CORE__toggled));
  Node enumeration(lilv_new_uri(world, LV2_CORE__enumeration));
  Node logarithmic(lilv_new_uri(world, LV2_PORT_PROPS__logarithmic));
  Node unitPred(lilv_new_uri(world, LV2_UNITS__unit));
  Node unitSymbol(lilv_new_uri(world, LV2_UNITS__symbol));
  std::vector<PortInfo> out;
  const uint32_t n = lilv_plugin_get_num_ports(plugin);
  for (uint32_t i = 0; i < n; ++i) {
    const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
    PortInfo p;
    p.index = i;
    p.input = lilv_port_is_a(plugin, port, input);
    p.kind = lilv_port_is_a(plugin, port, control) ? PortInfo::Kind::Control
             : lilv_port_is_a(plugin, port, audio) ? PortInfo::Kind::Audio
             : lilv_port_is_a(plugin, port, atom)  ? PortInfo::Kind::Atom
                                                   : PortInfo::Kind::Other;
    p.optional = lilv_port_has_property(plugin, port, optional);
    p.symbol = text(lilv_port_get_symbol(plugin, port));
    Node name(lilv_port_get_name(plugin, port));
    p.name = text(name);
    p.integer = lilv_port_has_property(plugin, port, integer);
    p.toggled = lilv_port_has_property(plugin, port, toggled);
    p.enumeration = lilv_port_has_property(plugin, port, enumeration);
    p.logarithmic = lilv_port_has_property(plugin, port, logarithmic);
    if (p.kind == PortInfo::Kind::Control) {
      LilvNode *def = nullptr, *min = nullptr, *max = nullptr;
      lilv_port_get_range(plugin, port, &def, &min, &max);
      p.def = def ? lilv_node_as_float(def) : 0.0f;
      p.min = min ? lilv_node_as_float(min) : 0.0f;
      p.max = max ? lilv_node_as_float(max) : 0.0f;
      lilv_node_free(def);
      lilv_node_free(min);
      lilv_node_free(max);
      LilvScalePoints* points = lilv_port_get_scale_points(plugin, port);
      LILV_FOREACH(scale_points, it, points) {
        const LilvScalePoint* sp = lilv_scale_points_get(points, it);
        p.scalePoints.emplace_back(lilv_node_as_float(lilv_scale_point_get_value(sp)),
                                   text(lilv_scale_point_get_label(sp)));
      }
      lilv_scale_points_free(points);
      std::sort(p.scalePoints.begin(), p.scalePoints.end());
      LilvNodes* units = lilv_port_get_value(plugin, port, unitPred);
      if (units && lilv_nodes_size(units) > 0) {
        const LilvNode* u = lilv_nodes_get_first(units);
        if (lilv_node_is_uri(u)) {
          p.unit = lilv_node_as_uri(u);
        } else {
          Node sym(lilv_world_get(world, u, unitSymbol, nullptr));
          p.unit = text(sym);
        }
      }
      lilv_nodes_free(units);
    }
    out.push_back(std::move(p));
  }
  return out;
}

std::vector<PresetInfo> listPresets(World& w, const LilvPlugin* plugin) {
  LilvWorld* world = w.get();
  Node presetClass(lilv_new_uri(world, LV2_PRESETS__Preset));
  Node label(lilv_new_uri(world, LILV_NS_RDFS "label"));
  Node bankPred(lilv_new_uri(world, LV2_PRESETS__bank));
  std::vector<PresetInfo> out;
  LilvNodes* related = lilv_plugin_get_related(plugin, presetClass);
  LILV_FOREACH(nodes, it, related) {
    const LilvNode* preset = lilv_nodes_get(related, it);
    lilv_world_load_resource(world, preset);
    PresetInfo info;
    info.uri = lilv_node_as_uri(preset);
    Node name(lilv_world_get(world, preset, label, nullptr));
    info.name = text(name);
    Node bank(lilv_world_get(world, preset, bankPred, nullptr));
    if (bank.n) {
      Node bankName(lilv_world_get(world, bank, label, nullptr));
      info.bank = text(bankName);
    }
    out.push_back(std::move(info));
  }
  lilv_nodes_free(related);
  std::sort(out.begin(), out.end(), [](const PresetInfo& a, const PresetInfo& b) { return a.uri < b.uri; });
  return out;
}

struct Instance::Options {
  LV2_Options_Option list[3];
};

Instance::Instance(World& w, const LilvPlugin* p, double sampleRate, uint32_t block, bool connectOptional)
    : world(w), plugin(p), rate(sampleRate), maxBlock(std::max<uint32_t>(1, block)) {
  if (!plugin) return;
  portList = listPorts(world, plugin);
  controls.assign(portList.size(), 0.0f);
  for (const auto& port : portList) {
    if (port.kind == PortInfo::Kind::Control) controls[port.index] = port.def;
    if (port.kind == PortInfo::Kind::Audio && !port.input) {
      audioPorts.push_back(port.index);
      audioConnected.push_back(connectOptional || !port.optional);
    }
  }
  // Room for blocks longer than announced, so that running one allocates nothing on our side either.
  audio.assign(audioPorts.size(), std::vector<float>(std::max<uint32_t>(maxBlock, kBufferFrames), 0.0f));
  atomBuffer.assign(kAtomCapacity / sizeof(uint64_t), 0);
  maxBlockOption = static_cast<int32_t>(maxBlock);
  nominalBlockOption = static_cast<int32_t>(maxBlock);
  options = std::make_unique<Options>();
  const LV2_URID atomInt = world.map(LV2_ATOM__Int);
  sequenceType = world.map(LV2_ATOM__Sequence);
  midiEventType = world.map(LV2_MIDI__MidiEvent);
  options->list[0] = {LV2_OPTIONS_INSTANCE, 0, world.map(LV2_BUF_SIZE__maxBlockLength), sizeof(int32_t), atomInt,
                      &maxBlockOption};
  options->list[1] = {LV2_OPTIONS_INSTANCE, 0, world.map(LV2_BUF_SIZE__nominalBlockLength), sizeof(int32_t),
                      atomInt, &nominalBlockOption};
  options->list[2] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
  featureData = {{LV2_URID__map, world.mapFeature()},
                 {LV2_URID__unmap, world.unmapFeature()},
                 {LV2_OPTIONS__options, options->list}};
  for (auto& f : featureData) features.push_back(&f);
  features.push_back(nullptr);
  instance = lilv_plugin_instantiate(plugin, rate, features.data());
  if (!instance) return;
  for (const auto& port : portList)
    if (port.kind == PortInfo::Kind::Control && port.input)
      lilv_instance_connect_port(instance, port.index, &controls[port.index]);
  for (const auto& port : portList)
    if (port.kind == PortInfo::Kind::Atom && port.input) lilv_instance_connect_port(instance, port.index, atomBuffer.data());
}

Instance::~Instance() {
  if (!instance) return;
  if (active) lilv_instance_deactivate(instance);
  lilv_instance_free(instance);
}

bool Instance::setControl(const std::string& symbol, float value) {
  for (const auto& p : portList)
    if (p.symbol == symbol && p.kind == PortInfo::Kind::Control && p.input) {
      controls[p.index] = value;
      return true;
    }
  return false;
}

bool Instance::setControlIndex(uint32_t controlNumber, float value) {
  uint32_t k = 0;
  for (const auto& p : portList)
    if (p.kind == PortInfo::Kind::Control && p.input && k++ == controlNumber) {
      controls[p.index] = value;
      return true;
    }
  return false;
}

float Instance::control(const std::string& symbol) const {
  for (const auto& p : portList)
    if (p.symbol == symbol) return controls[p.index];
  return NAN;
}

void Instance::activate() {
  if (instance && !active) lilv_instance_activate(instance);
  active = true;
}

void Instance::deactivate() {
  if (instance && active) lilv_instance_deactivate(instance);
  active = false;
}

void Instance::run(uint32_t frames, const std::vector<Midi>& events) {
  if (!instance) return;
  for (size_t i = 0; i < audioPorts.size(); ++i) {
    if (audio[i].size() < frames) audio[i].resize(frames);
    lilv_instance_connect_port(instance, audioPorts[i], audioConnected[i] ? audio[i].data() : nullptr);
  }
  auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(atomBuffer.data());
  seq->atom.type = sequenceType;
  seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
  seq->body.unit = 0;
  seq->body.pad = 0;
  for (const Midi& m : events) {
    struct {
      LV2_Atom_Event head;
      uint8_t bytes[8];
    } ev{};
    ev.head.time.frames = m.frame;
    ev.head.body.type = midiEventType;
    ev.head.body.size = m.size;
    std::memcpy(ev.bytes, m.bytes, std::min<uint32_t>(3, m.size));
    lv2_atom_sequence_append_event(seq, kAtomCapacity - sizeof(LV2_Atom), &ev.head);
  }
  lilv_instance_run(instance, frames);
}

const float* Instance::output(uint32_t i) const {
  return (i < audio.size() && audioConnected[i]) ? audio[i].data() : nullptr;
}

namespace {

struct Captured {
  std::vector<uint8_t> bytes;
  bool got = false;
};

LV2_State_Status captureStore(LV2_State_Handle h, uint32_t, const void* value, size_t size, uint32_t, uint32_t) {
  auto* c = static_cast<Captured*>(h);
  const auto* b = static_cast<const uint8_t*>(value);
  c->bytes.assign(b, b + size);
  c->got = true;
  return LV2_STATE_SUCCESS;
}

}  // namespace

bool Instance::saveChunk(std::vector<uint8_t>& out) {
  if (!instance) return false;
  const auto* iface =
      static_cast<const LV2_State_Interface*>(lilv_instance_get_extension_data(instance, LV2_STATE__interface));
  if (!iface || !iface->save) return false;
  Captured c;
  const LV2_State_Status st = iface->save(lilv_instance_get_handle(instance), captureStore, &c,
                                         LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features.data());
  if (st != LV2_STATE_SUCCESS || !c.got) return false;
  out = std::move(c.bytes);
  return true;
}

void Instance::setPortValue(const char* symbol, void* data, const void* value, uint32_t size, uint32_t type) {
  auto* self = static_cast<Instance*>(data);
  float v = 0.0f;
  if (type == self->world.map(LV2_ATOM__Float) && size == sizeof(float)) {
    v = *static_cast<const float*>(value);
  } else if (type == self->world.map(LV2_ATOM__Double) && size == sizeof(double)) {
    v = static_cast<float>(*static_cast<const double*>(value));
  } else if ((type == self->world.map(LV2_ATOM__Int) || type == self->world.map(LV2_ATOM__Bool)) &&
             size == sizeof(int32_t)) {
    v = static_cast<float>(*static_cast<const int32_t*>(value));
  } else {
    return;
  }
  self->setControl(symbol, v);
}

const void* Instance::getPortValue(const char* symbol, void* data, uint32_t* size, uint32_t* type) {
  auto* self = static_cast<Instance*>(data);
  for (const auto& p : self->portList)
    if (p.symbol == symbol && p.kind == PortInfo::Kind::Control && p.input) {
      *size = sizeof(float);
      *type = self->world.map(LV2_ATOM__Float);
      return &self->controls[p.index];
    }
  *size = 0;
  *type = 0;
  return nullptr;
}

std::string Instance::saveStateTurtle() {
  if (!instance) return {};
  LilvState* st = lilv_state_new_from_instance(plugin, instance, world.mapFeature(), nullptr, nullptr, nullptr,
                                               nullptr, getPortValue, this,
                                               LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, features.data());
  if (!st) return {};
  char* s = lilv_state_to_string(world.get(), world.mapFeature(), world.unmapFeature(), st, "urn:lv2host:state",
                                 nullptr);
  std::string out = s ? s : "";
  lilv_free(s);
  lilv_state_free(st);
  return out;
}

bool Instance::restoreStateTurtle(const std::string& turtle) {
  if (!instance) return false;
  LilvState* st = lilv_state_new_from_string(world.get(), world.mapFeature(), turtle.c_str());
  if (!st) return false;
  lilv_state_restore(st, instance, setPortValue, this, 0, features.data());
  lilv_state_free(st);
  return true;
}

bool Instance::applyPreset(const std::string& presetUri) {
  if (!instance) return false;
  Node node(lilv_new_uri(world.get(), presetUri.c_str()));
  lilv_world_load_resource(world.get(), node);
  LilvState* st = lilv_state_new_from_world(world.get(), world.mapFeature(), node);
  if (!st) return false;
  lilv_state_restore(st, instance, setPortValue, this, 0, features.data());
  lilv_state_free(st);
  return true;
}

bool render(Instance& inst, const std::vector<vhost::TimedMidi>& midi, const RenderOptions& opts,
            vhost::RenderResult& result, std::string& error) {
  result = vhost::RenderResult{};
  if (!inst.ok()) {
    error = "no instance";
    return false;
  }
  for (const auto& [symbol, value] : opts.controls)
    if (!inst.setControl(symbol, value)) {
      error = "no control port " + symbol;
      return false;
    }
  const uint32_t block = std::max<uint32_t>(1, opts.blockSize);
  const double lastEvent = midi.empty() ? 0.0 : midi.back().seconds;
  const auto totalFrames = static_cast<uint64_t>(std::ceil((lastEvent + opts.tailSeconds) * opts.sampleRate));
  std::vector<uint32_t> outs;
  for (uint32_t i = 0; i < inst.audioOutputs(); ++i)
    if (inst.output(i)) {
      outs.push_back(i);
      result.portNames.push_back(inst.audioName(i));
    }
  result.channels.assign(outs.size(), std::vector<float>());
  for (auto& ch : result.channels) ch.reserve(totalFrames);
  inst.activate();
  std::vector<Instance::Midi> events;
  size_t next = 0;
  double cpu = 0.0;
  for (uint64_t pos = 0; pos < totalFrames; pos += block) {
    const auto frames = static_cast<uint32_t>(std::min<uint64_t>(block, totalFrames - pos));
    events.clear();
    while (next < midi.size()) {
      const auto at = static_cast<uint64_t>(std::llround(midi[next].seconds * opts.sampleRate));
      if (at >= pos + frames) break;
      const auto& m = midi[next];
      const uint32_t size = (m.status >> 4) == 0xC || (m.status >> 4) == 0xD ? 2u : 3u;
      events.push_back({static_cast<uint32_t>(at > pos ? at - pos : 0), {m.status, m.data1, m.data2}, size});
      ++next;
    }
    const double t0 = threadCpuSeconds();
    inst.run(frames, events);
    cpu += threadCpuSeconds() - t0;
    for (size_t k = 0; k < outs.size(); ++k) {
      const float* src = inst.output(outs[k]);
      result.channels[k].insert(result.channels[k].end(), src, src + frames);
    }
  }
  inst.deactivate();
  result.cpuSeconds = cpu;
  result.audioSeconds = static_cast<double>(totalFrames) / opts.sampleRate;
  return true;
}

}  // namespace lv2h
