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

// ---- clap.track-info: the host tells the plug-in the name (and colour) of the track it sits on. ----
static constexpr const char CLAP_EXT_TRACK_INFO[] = "clap.track-info";
// Hosts built against CLAP before 1.2 offer it under its draft name.
static constexpr const char CLAP_EXT_TRACK_INFO_COMPAT[] = "clap.track-info.draft/1";

enum {
  CLAP_TRACK_INFO_HAS_TRACK_NAME = (1 << 0),
  CLAP_TRACK_INFO_HAS_TRACK_COLOR = (1 << 1),
  CLAP_TRACK_INFO_HAS_AUDIO_CHANNEL = (1 << 2),
  CLAP_TRACK_INFO_IS_FOR_RETURN_TRACK = (1 << 3),
  CLAP_TRACK_INFO_IS_FOR_BUS = (1 << 4),
  CLAP_TRACK_INFO_IS_FOR_MASTER = (1 << 5),
};

typedef struct clap_track_info_color {
  uint8_t alpha;
  uint8_t red;
  uint8_t green;
  uint8_t blue;
} clap_track_info_color_t;

typedef struct clap_track_info {
  uint64_t flags;
  char name[CLAP_NAME_SIZE];
  clap_track_info_color_t color;
  int32_t audio_channel_count;
  const char* audio_port_type;
} clap_track_info_t;

typedef struct clap_plugin_track_info {
  // [main-thread]
  void(CLAP_ABI* changed)(const clap_plugin_t* plugin);
} clap_plugin_track_info_t;

typedef struct clap_host_track_info {
  // [main-thread]
  bool(CLAP_ABI* get)(const clap_host_t* host, clap_track_info_t* info);
} clap_host_track_info_t;

}  // extern "C"
