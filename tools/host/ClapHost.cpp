// Library loading, the host's extension tables and the instance life cycle in CLAP's order.
#include "ClapHost.h"

#include <clap/ext/gui.h>
#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <cstring>

namespace vhost {
namespace {

Host* hostOf(const clap_host_t* h) { return static_cast<Host*>(h->host_data); }

// A call CLAP allows on the main thread only: recorded there, counted as misbehaviour anywhere else.
void needMain(const clap_host_t* h, const std::string& call) {
  hostOf(h)->recordMainCallThread();
  if (!hostOf(h)->onMainThread()) {
    ++hostOf(h)->misbehaviours;
    return;
  }
  hostOf(h)->recordMainCall(call);
}

double threadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + 1e-9 * static_cast<double>(ts.tv_nsec);
}

const clap_host_thread_check_t kThreadCheck{
    [](const clap_host_t* h) { return hostOf(h)->quirks().mainEverywhere || hostOf(h)->onMainThread(); },
    [](const clap_host_t* h) { return hostOf(h)->onAudioThread(); },
};
const clap_host_log_t kLog{[](const clap_host_t* h, clap_log_severity severity, const char* msg) {
  hostOf(h)->addLog(std::to_string(severity) + ": " + (msg ? msg : ""));
}};
const clap_host_params_t kParams{
    [](const clap_host_t* h, clap_param_rescan_flags flags) { needMain(h, "params.rescan " + std::to_string(flags)); },
    [](const clap_host_t* h, clap_id id, clap_param_clear_flags flags) {
      needMain(h, "params.clear " + std::to_string(id) + " " + std::to_string(flags));
    },
    [](const clap_host_t* h) {
      if (hostOf(h)->onAudioThread()) ++hostOf(h)->misbehaviours;
      ++hostOf(h)->flushRequests;
    },
};
const clap_host_state_t kState{[](const clap_host_t* h) { needMain(h, "state.mark_dirty"); }};
const clap_host_audio_ports_t kAudioPorts{
    [](const clap_host_t*, uint32_t) { return true; },
    [](const clap_host_t* h, uint32_t flags) { needMain(h, "audio_ports.rescan " + std::to_string(flags)); },
};
const clap_host_audio_ports_config_t kAudioPortsConfig{
    [](const clap_host_t* h) { needMain(h, "audio_ports_config.rescan"); }};
const clap_host_note_ports_t kNotePorts{
    [](const clap_host_t*) -> uint32_t { return CLAP_NOTE_DIALECT_MIDI | CLAP_NOTE_DIALECT_CLAP; },
    [](const clap_host_t* h, uint32_t flags) { needMain(h, "note_ports.rescan " + std::to_string(flags)); },
};
const clap_host_tail_t kTail{[](const clap_host_t*) {}};
// voice-info's host side (not in the installed CLAP headers): one main-thread callback.
struct HostVoiceInfo {
  void (*changed)(const clap_host_t* host);
};
const HostVoiceInfo kVoiceInfo{[](const clap_host_t* h) { needMain(h, "voice_info.changed"); }};
const clap_host_gui_t kGui{
    [](const clap_host_t* h) { needMain(h, "gui.resize_hints_changed"); },
    [](const clap_host_t* h, uint32_t w, uint32_t hgt) {
      needMain(h, "gui.request_resize");
      hostOf(h)->guiRequestedW.store(w);
      hostOf(h)->guiRequestedH.store(hgt);
      ++hostOf(h)->guiResizeRequests;
      return true;
    },
    [](const clap_host_t*) { return false; },
    [](const clap_host_t*) { return false; },
    [](const clap_host_t* h, bool) { needMain(h, "gui.closed"); },
};

const clap_host_timer_support_t kTimer{
    [](const clap_host_t* h, uint32_t periodMs, clap_id* id) {
      needMain(h, "timer.register " + std::to_string(periodMs));
      return hostOf(h)->registerTimer(periodMs, id);
    },
    [](const clap_host_t* h, clap_id id) {
      needMain(h, "timer.unregister");
      return hostOf(h)->unregisterTimer(id);
    },
};

const void* hostExtension(const clap_host_t* h, const char* id) {
  if (!id) return nullptr;
  if (!std::strcmp(id, CLAP_EXT_TIMER_SUPPORT)) return hostOf(h)->quirks().offerTimer ? &kTimer : nullptr;
  if (!std::strcmp(id, CLAP_EXT_THREAD_CHECK)) return &kThreadCheck;
  if (!std::strcmp(id, CLAP_EXT_LOG)) return &kLog;
  if (!std::strcmp(id, CLAP_EXT_PARAMS)) return &kParams;
  if (!std::strcmp(id, CLAP_EXT_STATE)) return &kState;
  if (!std::strcmp(id, CLAP_EXT_AUDIO_PORTS)) return &kAudioPorts;
  if (!std::strcmp(id, CLAP_EXT_AUDIO_PORTS_CONFIG)) return &kAudioPortsConfig;
  if (!std::strcmp(id, CLAP_EXT_NOTE_PORTS)) return &kNotePorts;
  if (!std::strcmp(id, CLAP_EXT_TAIL)) return &kTail;
  if (!std::strcmp(id, CLAP_EXT_GUI)) return &kGui;
  if (!std::strcmp(id, "clap.voice-info")) return &kVoiceInfo;
  if (!std::strcmp(id, CLAP_EXT_TRACK_INFO)) return trackInfoExtension(h);
  return nullptr;
}

}  // namespace

bool Library::load(const std::string& path, std::string& error) {
  unload();
  dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!dl) {
    const char* e = dlerror();
    error = e ? e : "dlopen failed";
    return false;
  }
  entryPtr = static_cast<const clap_plugin_entry_t*>(dlsym(dl, "clap_entry"));
  if (!entryPtr) {
    error = "no clap_entry symbol";
    unload();
    return false;
  }
  if (!clap_version_is_compatible(entryPtr->clap_version) || !entryPtr->init(path.c_str())) {
    error = "clap_entry init failed";
    entryPtr = nullptr;
    unload();
    return false;
  }
  factoryPtr = static_cast<const clap_plugin_factory_t*>(entryPtr->get_factory(CLAP_PLUGIN_FACTORY_ID));
  if (!factoryPtr) {
    error = "no plug-in factory";
    unload();
    return false;
  }
  return true;
}

void Library::unload() {
  if (entryPtr) entryPtr->deinit();
  entryPtr = nullptr;
  factoryPtr = nullptr;
  if (dl) dlclose(dl);
  dl = nullptr;
}

Host::Host(const HostQuirks& quirks) : quirkSet(quirks), mainThread(std::this_thread::get_id()) {
  clapHost.clap_version = CLAP_VERSION;
  clapHost.host_data = this;
  clapHost.name = "vorrel-host";
  clapHost.vendor = "OskelAudio";
  clapHost.url = "";
  clapHost.version = "1.0.0";
  clapHost.get_extension = hostExtension;
  clapHost.request_restart = [](const clap_host_t* h) { ++hostOf(h)->restartRequests; };
  clapHost.request_process = [](const clap_host_t* h) { ++hostOf(h)->processRequests; };
  clapHost.request_callback = [](const clap_host_t* h) {
    ++hostOf(h)->callbackRequests;
    if (!hostOf(h)->quirks().silentCallback) hostOf(h)->callbackPending.store(true);
  };
}

bool Host::registerTimer(uint32_t periodMs, clap_id* id) {
  if (!id || periodMs == 0) return false;
  std::lock_guard<std::mutex> lock(callMutex);
  *id = nextTimerId++;
  timerIds.push_back(*id);
  return true;
}

bool Host::unregisterTimer(clap_id id) {
  std::lock_guard<std::mutex> lock(callMutex);
  const auto it = std::find(timerIds.begin(), timerIds.end(), id);
  if (it == timerIds.end()) return false;
  timerIds.erase(it);
  return true;
}

int Host::timersRegistered() const {
  std::lock_guard<std::mutex> lock(callMutex);
  return static_cast<int>(timerIds.size());
}

bool Host::tickTimers(const clap_plugin_t* plugin) {
  std::vector<clap_id> ids;
  {
    std::lock_guard<std::mutex> lock(callMutex);
    ids = timerIds;
  }
  const auto* ext =
      plugin ? static_cast<const clap_plugin_timer_support_t*>(plugin->get_extension(plugin, CLAP_EXT_TIMER_SUPPORT))
             : nullptr;
  if (!ext || ids.empty()) return false;
  for (clap_id id : ids) ext->on_timer(plugin, id);
  return true;
}

std::vector<std::thread::id> Host::mainCallThreads() const {
  std::lock_guard<std::mutex> lock(callMutex);
  return callThreads;
}

void Host::recordMainCallThread() {
  std::lock_guard<std::mutex> lock(callMutex);
  callThreads.push_back(std::this_thread::get_id());
}

void Host::pump(const clap_plugin_t* plugin) {
  if (callbackPending.exchange(false) && plugin) plugin->on_main_thread(plugin);
}

std::vector<std::string> Host::logs() const {
  std::lock_guard<std::mutex> lock(logMutex);
  return logLines;
}

void Host::addLog(const std::string& line) {
  std::lock_guard<std::mutex> lock(logMutex);
  logLines.push_back(line);
}

std::vector<std::string> Host::calls() const {
  std::lock_guard<std::mutex> lock(callMutex);
  return callLog;
}

int Host::countCalls(const std::string& call) const {
  std::lock_guard<std::mutex> lock(callMutex);
  return static_cast<int>(std::count(callLog.begin(), callLog.end(), call));
}

void Host::clearCalls() {
  std::lock_guard<std::mutex> lock(callMutex);
  callLog.clear();
  callThreads.clear();
}

void Host::recordMainCall(const std::string& call) {
  std::lock_guard<std::mutex> lock(callMutex);
  callLog.push_back(call);
}

void AudioBuffers::configure(const std::vector<uint32_t>& channelsPerPort, uint32_t maxFrames, bool use64) {
  is64 = use64;
  frames = maxFrames;
  const size_t n = channelsPerPort.size();
  data32.assign(n, {});
  data64.assign(n, {});
  ptr32.assign(n, {});
  ptr64.assign(n, {});
  portBufs.assign(n, clap_audio_buffer_t{});
  for (size_t p = 0; p < n; ++p) {
    const uint32_t ch = channelsPerPort[p];
    if (use64) {
      data64[p].assign(static_cast<size_t>(ch) * maxFrames, 0.0);
      for (uint32_t c = 0; c < ch; ++c) ptr64[p].push_back(data64[p].data() + static_cast<size_t>(c) * maxFrames);
      portBufs[p].data64 = ptr64[p].data();
    } else {
      data32[p].assign(static_cast<size_t>(ch) * maxFrames, 0.0f);
      for (uint32_t c = 0; c < ch; ++c) ptr32[p].push_back(data32[p].data() + static_cast<size_t>(c) * maxFrames);
      portBufs[p].data32 = ptr32[p].data();
    }
    portBufs[p].channel_count = ch;
  }
}

double AudioBuffers::sample(uint32_t port, uint32_t channel, uint32_t frame) const {
  if (port >= portBufs.size() || channel >= portBufs[port].channel_count || frame >= frames) return 0.0;
  if (is64) return data64[port][static_cast<size_t>(channel) * frames + frame];
  return data32[port][static_cast<size_t>(channel) * frames + frame];
}

void AudioBuffers::fill(double value) {
  for (auto& v : data32) std::fill(v.begin(), v.end(), static_cast<float>(value));
  for (auto& v : data64) std::fill(v.begin(), v.end(), value);
}

void AudioBuffers::nullChannel(uint32_t port, uint32_t channel) {
  if (port >= portBufs.size() || channel >= portBufs[port].channel_count) return;
  if (is64) {
    ptr64[port][channel] = nullptr;
  } else {
    ptr32[port][channel] = nullptr;
  }
}

Instance::Instance(Library& lib, Host& h, const char* pluginId) : hostRef(h) {
  if (!lib.factory()) return;
  plugin = lib.factory()->create_plugin(lib.factory(), h.clap(), pluginId);
  if (!plugin) return;
  if (!plugin->init(plugin)) {
    plugin->destroy(plugin);
    plugin = nullptr;
    return;
  }
  params = static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, CLAP_EXT_PARAMS));
  state = static_cast<const clap_plugin_state_t*>(plugin->get_extension(plugin, CLAP_EXT_STATE));
  ports = static_cast<const clap_plugin_audio_ports_t*>(plugin->get_extension(plugin, CLAP_EXT_AUDIO_PORTS));
  portsConfig =
      static_cast<const clap_plugin_audio_ports_config_t*>(plugin->get_extension(plugin, CLAP_EXT_AUDIO_PORTS_CONFIG));
  notes = static_cast<const clap_plugin_note_ports_t*>(plugin->get_extension(plugin, CLAP_EXT_NOTE_PORTS));
  tail = static_cast<const clap_plugin_tail_t*>(plugin->get_extension(plugin, CLAP_EXT_TAIL));
  renderExt = static_cast<const clap_plugin_render_t*>(plugin->get_extension(plugin, CLAP_EXT_RENDER));
}

bool Instance::setRenderMode(bool offline) {
  return renderExt && renderExt->set(plugin, offline ? CLAP_RENDER_OFFLINE : CLAP_RENDER_REALTIME);
}

Instance::~Instance() {
  if (!plugin) return;
  if (processing) stopProcessing();
  if (active) deactivate();
  plugin->destroy(plugin);
}

bool Instance::activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames) {
  if (!plugin || active) return false;
  active = plugin->activate(plugin, sampleRate, minFrames, maxFrames);
  cpuSeconds = 0.0;
  return active;
}

void Instance::deactivate() {
  if (!plugin || !active) return;
  if (processing) stopProcessing();
  plugin->deactivate(plugin);
  active = false;
}

bool Instance::startProcessing() {
  if (!plugin || !active) return false;
  bool okStart = false;
  hostRef.audio().run([&] { okStart = plugin->start_processing(plugin); });
  processing = okStart;
  return okStart;
}

void Instance::stopProcessing() {
  if (!plugin || !processing) return;
  hostRef.audio().run([&] { plugin->stop_processing(plugin); });
  processing = false;
}

clap_process_status Instance::process(AudioBuffers& out, uint32_t frames, const InputEvents& in,
                                      OutputEvents& outEvents, const clap_audio_buffer_t* inputs, uint32_t inputCount) {
  clap_process_t pr{};
  pr.steady_time = -1;
  pr.frames_count = frames;
  pr.transport = nullptr;
  pr.audio_inputs = inputs;
  pr.audio_inputs_count = inputCount;
  pr.audio_outputs = out.ports();
  pr.audio_outputs_count = out.portCount();
  pr.in_events = in.list();
  pr.out_events = outEvents.list();
  clap_process_status status = CLAP_PROCESS_ERROR;
  hostRef.audio().run([&] {
    const double t0 = threadCpuSeconds();
    status = plugin->process(plugin, &pr);
    cpuSeconds += threadCpuSeconds() - t0;
  });
  return status;
}

uint32_t Instance::paramCount() const { return params ? params->count(plugin) : 0; }

bool Instance::paramInfo(uint32_t index, clap_param_info_t& info) const {
  return params && params->get_info(plugin, index, &info);
}

double Instance::paramValue(clap_id id) const {
  double v = 0.0;
  if (params) params->get_value(plugin, id, &v);
  return v;
}

std::string Instance::valueToText(clap_id id, double value) const {
  char buf[256] = {};
  if (!params || !params->value_to_text(plugin, id, value, buf, sizeof buf)) return "";
  return buf;
}

bool Instance::textToValue(clap_id id, const std::string& text, double& value) const {
  return params && params->text_to_value(plugin, id, text.c_str(), &value);
}

void Instance::flushParams(const InputEvents& in, OutputEvents& out) {
  if (!params) return;
  if (active && processing) {
    hostRef.audio().run([&] { params->flush(plugin, in.list(), out.list()); });
  } else {
    params->flush(plugin, in.list(), out.list());
  }
}

namespace {

struct WriteCtx {
  std::vector<uint8_t>* bytes;
  size_t piece;
};
struct ReadCtx {
  const std::vector<uint8_t>* bytes;
  size_t pos;
  size_t piece;
};

}  // namespace

bool Instance::saveState(std::vector<uint8_t>& bytes, size_t pieceSize) const {
  if (!state) return false;
  bytes.clear();
  WriteCtx ctx{&bytes, pieceSize};
  clap_ostream_t os{};
  os.ctx = &ctx;
  os.write = [](const clap_ostream_t* s, const void* buf, uint64_t size) -> int64_t {
    auto* c = static_cast<WriteCtx*>(s->ctx);
    const uint64_t n = c->piece ? std::min<uint64_t>(size, c->piece) : size;
    const auto* p = static_cast<const uint8_t*>(buf);
    c->bytes->insert(c->bytes->end(), p, p + n);
    return static_cast<int64_t>(n);
  };
  return state->save(plugin, &os);
}

bool Instance::loadState(const std::vector<uint8_t>& bytes, size_t pieceSize) const {
  if (!state) return false;
  ReadCtx ctx{&bytes, 0, pieceSize};
  clap_istream_t is{};
  is.ctx = &ctx;
  is.read = [](const clap_istream_t* s, void* buf, uint64_t size) -> int64_t {
    auto* c = static_cast<ReadCtx*>(s->ctx);
    uint64_t n = std::min<uint64_t>(size, c->bytes->size() - c->pos);
    if (c->piece) n = std::min<uint64_t>(n, c->piece);
    if (n) std::memcpy(buf, c->bytes->data() + c->pos, n);
    c->pos += n;
    return static_cast<int64_t>(n);
  };
  return state->load(plugin, &is);
}

std::vector<PortInfo> Instance::audioPorts(bool input) const {
  std::vector<PortInfo> out;
  if (!ports) return out;
  const uint32_t n = ports->count(plugin, input);
  for (uint32_t i = 0; i < n; ++i) {
    clap_audio_port_info_t info{};
    if (!ports->get(plugin, i, input, &info)) continue;
    out.push_back({info.id, info.name, info.flags, info.channel_count, info.port_type ? info.port_type : ""});
  }
  return out;
}

uint32_t Instance::audioConfigCount() const { return portsConfig ? portsConfig->count(plugin) : 0; }

bool Instance::audioConfig(uint32_t index, clap_audio_ports_config_t& config) const {
  return portsConfig && portsConfig->get(plugin, index, &config);
}

bool Instance::selectAudioConfig(clap_id id) { return portsConfig && !active && portsConfig->select(plugin, id); }

std::vector<clap_note_port_info_t> Instance::notePorts(bool input) const {
  std::vector<clap_note_port_info_t> out;
  if (!notes) return out;
  const uint32_t n = notes->count(plugin, input);
  for (uint32_t i = 0; i < n; ++i) {
    clap_note_port_info_t info{};
    if (notes->get(plugin, i, input, &info)) out.push_back(info);
  }
  return out;
}

uint32_t Instance::tailSamples() const { return tail ? tail->get(plugin) : 0; }

}  // namespace vhost
