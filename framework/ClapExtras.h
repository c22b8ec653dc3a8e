// CLAP extension interfaces that Debian's CLAP 1.1 header subset lacks, declared from CLAP's published ABI.
#pragma once

#include <clap/host.h>
#include <clap/plugin.h>
#include <clap/string-sizes.h>

#include <cstdint>

extern "C" {

// clap.audio-ports-config: the host picks one of a fixed list of port layouts while deactivated.
static constexpr const char CLAP_EXT_AUDIO_PORTS_CONFIG[] = "clap.audio-ports-config";

typedef struct clap_audio_ports_config {
  clap_id id;
  char name[CLAP_NAME_SIZE];
  uint32_t input_port_count;
  uint32_t output_port_count;
  bool has_main_input;
  uint32_t main_input_channel_count;
  const char* main_input_port_type;
  bool has_main_output;
  uint32_t main_output_channel_count;
  const char* main_output_port_type;
} clap_audio_ports_config_t;

typedef struct clap_plugin_audio_ports_config {
  uint32_t(CLAP_ABI* count)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* get)(const clap_plugin_t* plugin, uint32_t index, clap_audio_ports_config_t* config);
  bool(CLAP_ABI* select)(const clap_plugin_t* plugin, clap_id config_id);
} clap_plugin_audio_ports_config_t;

typedef struct clap_host_audio_ports_config {
  void(CLAP_ABI* rescan)(const clap_host_t* host);
} clap_host_audio_ports_config_t;

// clap.tail: samples of sound after the input stops; INT32_MAX or more means endless.
static constexpr const char CLAP_EXT_TAIL[] = "clap.tail";

typedef struct clap_plugin_tail {
  uint32_t(CLAP_ABI* get)(const clap_plugin_t* plugin);
} clap_plugin_tail_t;

typedef struct clap_host_tail {
  void(CLAP_ABI* changed)(const clap_host_t* host);
} clap_host_tail_t;

// clap.log: offered by hosts; this plug-in writes no log, our host prints what others write.
static constexpr const char CLAP_EXT_LOG[] = "clap.log";

enum {
  CLAP_LOG_DEBUG = 0,
  CLAP_LOG_INFO = 1,
  CLAP_LOG_WARNING = 2,
  CLAP_LOG_ERROR = 3,
  CLAP_LOG_FATAL = 4,
  CLAP_LOG_HOST_MISBEHAVING = 5,
  CLAP_LOG_PLUGIN_MISBEHAVING = 6,
};
typedef int32_t clap_log_severity;

typedef struct clap_host_log {
  void(CLAP_ABI* log)(const clap_host_t* host, clap_log_severity severity, const char* msg);
} clap_host_log_t;

}  // extern "C"

// ---- Voice info and audio-ports activation ----
extern "C" {

// clap.voice-info: how many voices the plug-in plays and the most it could.
static constexpr const char CLAP_EXT_VOICE_INFO[] = "clap.voice-info";

enum { CLAP_VOICE_INFO_SUPPORTS_OVERLAPPING_NOTES = 1 << 0 };

typedef struct clap_voice_info {
  uint32_t voice_count;
  uint32_t voice_capacity;
  uint64_t flags;
} clap_voice_info_t;

typedef struct clap_plugin_voice_info {
  bool(CLAP_ABI* get)(const clap_plugin_t* plugin, clap_voice_info_t* info);
} clap_plugin_voice_info_t;

typedef struct clap_host_voice_info {
  void(CLAP_ABI* changed)(const clap_host_t* host);
} clap_host_voice_info_t;

// clap.audio-ports-activation: the host may switch unused ports off (all are on after creation).
static constexpr const char CLAP_EXT_AUDIO_PORTS_ACTIVATION[] = "clap.audio-ports-activation";
static constexpr const char CLAP_EXT_AUDIO_PORTS_ACTIVATION_COMPAT[] = "clap.audio-ports-activation/draft-2";

typedef struct clap_plugin_audio_ports_activation {
  bool(CLAP_ABI* can_activate_while_processing)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* set_active)(const clap_plugin_t* plugin, bool is_input, uint32_t port_index, bool is_active,
                             uint32_t sample_size);
} clap_plugin_audio_ports_activation_t;

}  // extern "C"
