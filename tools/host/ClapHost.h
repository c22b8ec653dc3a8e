// Our headless CLAP host: loads a .clap with dlopen, offers host extensions, and drives one plug-in instance.
#pragma once

#include "AudioThread.h"
#include "Events.h"

#include "ClapExtras.h"

#include <clap/entry.h>
#include <clap/ext/audio-ports.h>
#include <clap/ext/note-ports.h>
#include <clap/ext/params.h>
#include <clap/ext/state.h>
#include <clap/ext/thread-check.h>
#include <clap/ext/timer-support.h>
#include <clap/plugin-factory.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vhost {

class Library {
 public:
  Library() = default;
  ~Library() { unload(); }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;

  bool load(const std::string& path, std::string& error);
  void unload();
  const clap_plugin_entry_t* entry() const { return entryPtr; }
  const clap_plugin_factory_t* factory() const { return factoryPtr; }
  void* handle() const { return dl; }

 private:
  void* dl = nullptr;
  const clap_plugin_entry_t* entryPtr = nullptr;
  const clap_plugin_factory_t* factoryPtr = nullptr;
};

// The host's track-info table; its get answers false until a track name is set.
const void* trackInfoExtension(const clap_host_t* host);

// How a host stands in for others met in the field; the defaults are a well-behaved host.
struct HostQuirks {
  bool silentCallback = false;  // request_callback does nothing, as in some Linux hosts
  bool offerTimer = false;      // offers timer-support; tickTimers runs the plug-in's timers
  bool mainEverywhere = false;  // the thread check answers "main thread" on every thread
};

// One host object serves any number of instances; its main thread is the thread that built it.
class Host {
 public:
  explicit Host(const HostQuirks& quirks = {});
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  const clap_host_t* clap() const { return &clapHost; }
  AudioThread& audio() { return audioThread; }
  bool onMainThread() const { return std::this_thread::get_id() == mainThread; }
  bool onAudioThread() const { return std::this_thread::get_id() == audioThread.id(); }

  // Runs on_main_thread for every instance that asked, as a host's event loop would.
  void pump(const clap_plugin_t* plugin);
  // Fires every registered timer once into plugin's timer-support, as a host's event loop would; false when
  // none is registered.
  bool tickTimers(const clap_plugin_t* plugin);
  int timersRegistered() const;
  const HostQuirks& quirks() const { return quirkSet; }
  bool registerTimer(uint32_t periodMs, clap_id* id);
  bool unregisterTimer(clap_id id);

  // What the plug-in asked for, and calls it made from a thread CLAP does not allow.
  std::atomic<int> callbackRequests{0};
  std::atomic<int> flushRequests{0};
  std::atomic<int> restartRequests{0};
  std::atomic<int> processRequests{0};
  std::atomic<int> misbehaviours{0};
  std::atomic<bool> callbackPending{false};
  // The last size a plug-in's editor asked for through gui.request_resize, and how often it asked.
  std::atomic<int> guiResizeRequests{0};
  std::atomic<uint32_t> guiRequestedW{0};
  std::atomic<uint32_t> guiRequestedH{0};
  std::vector<std::string> logs() const;
  void addLog(const std::string& line);
  // Main-thread-only host calls the plug-in made, in order, e.g. "params.rescan 1" (the flags in decimal).
  // Calls from other threads are not recorded; they count as misbehaviours.
  std::vector<std::string> calls() const;
  int countCalls(const std::string& call) const;
  void clearCalls();
  void recordMainCall(const std::string& call);
  // The thread of every main-thread-only call the plug-in made into the host, wherever it came from.
  std::vector<std::thread::id> mainCallThreads() const;
  void recordMainCallThread();
  std::thread::id mainThreadId() const { return mainThread; }

  // The track name track-info reports once set (any thread); plug-ins read it on the main thread.
  void setTrackName(const std::string& name);
  bool trackName(std::string& out) const;

 private:
  clap_host_t clapHost{};
  HostQuirks quirkSet;
  std::thread::id mainThread;
  AudioThread audioThread;
  mutable std::mutex logMutex;  // guards logLines; plug-ins may log from any thread
  std::vector<std::string> logLines;
  mutable std::mutex callMutex;  // guards callLog; only main-thread calls append
  std::vector<std::string> callLog;
  std::vector<std::thread::id> callThreads;  // guarded by callMutex; any thread appends
  std::vector<clap_id> timerIds;             // guarded by callMutex; registered timers
  clap_id nextTimerId = 1;
  mutable std::mutex trackMutex;  // guards trackNameText and trackNamed
  std::string trackNameText;
  bool trackNamed = false;
};

// Output buffers for one process call: ports of channels, 32- or 64-bit, with frames preallocated.
class AudioBuffers {
 public:
  void configure(const std::vector<uint32_t>& channelsPerPort, uint32_t maxFrames, bool use64);
  clap_audio_buffer_t* ports() { return portBufs.data(); }
  uint32_t portCount() const { return static_cast<uint32_t>(portBufs.size()); }
  double sample(uint32_t port, uint32_t channel, uint32_t frame) const;
  // Fill every sample with a value, to see what the plug-in overwrites.
  void fill(double value);
  // Make one channel look unconnected, as some hosts do.
  void nullChannel(uint32_t port, uint32_t channel);
  bool uses64() const { return is64; }

 private:
  bool is64 = false;
  uint32_t frames = 0;
  std::vector<std::vector<float>> data32;
  std::vector<std::vector<double>> data64;
  std::vector<std::vector<float*>> ptr32;
  std::vector<std::vector<double*>> ptr64;
  std::vector<clap_audio_buffer_t> portBufs;
};

struct PortInfo {
  uint32_t id;
  std::string name;
  uint32_t flags;
  uint32_t channels;
  std::string type;
};

class Instance {
 public:
  Instance(Library& lib, Host& host, const char* pluginId);
  ~Instance();
  Instance(const Instance&) = delete;
  Instance& operator=(const Instance&) = delete;

  bool ok() const { return plugin != nullptr; }
  const clap_plugin_t* get() const { return plugin; }
  Host& host() { return hostRef; }

  bool activate(double sampleRate, uint32_t minFrames, uint32_t maxFrames);
  void deactivate();
  bool startProcessing();
  void stopProcessing();
  bool isActive() const { return active; }
  // Runs process on the audio thread.
  clap_process_status process(AudioBuffers& out, uint32_t frames, const InputEvents& in, OutputEvents& outEvents,
                              const clap_audio_buffer_t* inputs = nullptr, uint32_t inputCount = 0);
  // CPU seconds the audio thread spent inside process since activation.
  double processCpuSeconds() const { return cpuSeconds; }

  uint32_t paramCount() const;
  bool paramInfo(uint32_t index, clap_param_info_t& info) const;
  double paramValue(clap_id id) const;
  std::string valueToText(clap_id id, double value) const;
  bool textToValue(clap_id id, const std::string& text, double& value) const;
  // params.flush while not processing (main thread) or on the audio thread when active and processing.
  void flushParams(const InputEvents& in, OutputEvents& out);

  bool saveState(std::vector<uint8_t>& bytes, size_t pieceSize = 0) const;
  bool loadState(const std::vector<uint8_t>& bytes, size_t pieceSize = 0) const;

  std::vector<PortInfo> audioPorts(bool input) const;
  uint32_t audioConfigCount() const;
  bool audioConfig(uint32_t index, clap_audio_ports_config_t& config) const;
  bool selectAudioConfig(clap_id id);
  std::vector<clap_note_port_info_t> notePorts(bool input) const;
  bool hasTail() const { return tail != nullptr; }
  uint32_t tailSamples() const;
  // Main thread: offline (a bounce) or real-time rendering; false when the plug-in has no render extension.
  bool setRenderMode(bool offline);
  // Main thread: tells the plug-in that the track's name changed.
  void trackInfoChanged() const;

  const clap_plugin_params_t* params = nullptr;
  const clap_plugin_state_t* state = nullptr;
  const clap_plugin_audio_ports_t* ports = nullptr;
  const clap_plugin_audio_ports_config_t* portsConfig = nullptr;
  const clap_plugin_note_ports_t* notes = nullptr;
  const clap_plugin_tail_t* tail = nullptr;
  const clap_plugin_render_t* renderExt = nullptr;

 private:
  Host& hostRef;
  const clap_plugin_t* plugin = nullptr;
  bool active = false;
  bool processing = false;
  double cpuSeconds = 0.0;
};

}  // namespace vhost
