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

// ---- Presets a host can browse: the preset-discovery factory and the plug-in's preset-load extension. ----
// Both final and draft ids are answered; the draft layouts are the same.

static constexpr const char CLAP_PRESET_DISCOVERY_FACTORY_ID[] = "clap.preset-discovery-factory/2";
static constexpr const char CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT[] = "clap.preset-discovery-factory/draft-2";

typedef uint64_t clap_timestamp_t;
static constexpr clap_timestamp_t CLAP_TIMESTAMP_UNKNOWN = 0;

typedef struct clap_universal_plugin_id {
  const char* abi;  // "clap"
  const char* id;
} clap_universal_plugin_id_t;

enum clap_preset_discovery_location_kind {
  CLAP_PRESET_DISCOVERY_LOCATION_FILE = 0,
  CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN = 1,
};

enum clap_preset_discovery_flags {
  CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT = 1 << 0,
  CLAP_PRESET_DISCOVERY_IS_USER_CONTENT = 1 << 1,
  CLAP_PRESET_DISCOVERY_IS_DEMO_CONTENT = 1 << 2,
  CLAP_PRESET_DISCOVERY_IS_FAVORITE = 1 << 3,
};

typedef struct clap_preset_discovery_metadata_receiver {
  void* receiver_data;
  void(CLAP_ABI* on_error)(const struct clap_preset_discovery_metadata_receiver* receiver, int32_t os_error,
                           const char* error_message);
  bool(CLAP_ABI* begin_preset)(const struct clap_preset_discovery_metadata_receiver* receiver, const char* name,
                               const char* load_key);
  void(CLAP_ABI* add_plugin_id)(const struct clap_preset_discovery_metadata_receiver* receiver,
                                const clap_universal_plugin_id_t* plugin_id);
  void(CLAP_ABI* set_soundpack_id)(const struct clap_preset_discovery_metadata_receiver* receiver,
                                   const char* soundpack_id);
  void(CLAP_ABI* set_flags)(const struct clap_preset_discovery_metadata_receiver* receiver, uint32_t flags);
  void(CLAP_ABI* add_creator)(const struct clap_preset_discovery_metadata_receiver* receiver, const char* creator);
  void(CLAP_ABI* set_description)(const struct clap_preset_discovery_metadata_receiver* receiver,
                                  const char* description);
  void(CLAP_ABI* set_timestamps)(const struct clap_preset_discovery_metadata_receiver* receiver,
                                 clap_timestamp_t creation_time, clap_timestamp_t modification_time);
  void(CLAP_ABI* add_feature)(const struct clap_preset_discovery_metadata_receiver* receiver, const char* feature);
  void(CLAP_ABI* add_extra_info)(const struct clap_preset_discovery_metadata_receiver* receiver, const char* key,
                                 const char* value);
} clap_preset_discovery_metadata_receiver_t;

typedef struct clap_preset_discovery_filetype {
  const char* name;
  const char* description;
  const char* file_extension;  // without the dot
} clap_preset_discovery_filetype_t;

typedef struct clap_preset_discovery_location {
  uint32_t flags;
  const char* name;
  uint32_t kind;
  const char* location;  // a path for FILE, null for PLUGIN
} clap_preset_discovery_location_t;

typedef struct clap_preset_discovery_soundpack {
  uint32_t flags;
  const char* id;
  const char* name;
  const char* description;
  const char* homepage_url;
  const char* vendor;
  const char* image_path;
  clap_timestamp_t release_timestamp;
} clap_preset_discovery_soundpack_t;

typedef struct clap_preset_discovery_provider_descriptor {
  clap_version_t clap_version;
  const char* id;
  const char* name;
  const char* vendor;
} clap_preset_discovery_provider_descriptor_t;

typedef struct clap_preset_discovery_provider {
  const clap_preset_discovery_provider_descriptor_t* desc;
  void* provider_data;
  bool(CLAP_ABI* init)(const struct clap_preset_discovery_provider* provider);
  void(CLAP_ABI* destroy)(const struct clap_preset_discovery_provider* provider);
  bool(CLAP_ABI* get_metadata)(const struct clap_preset_discovery_provider* provider, uint32_t location_kind,
                               const char* location, const clap_preset_discovery_metadata_receiver_t* receiver);
  const void*(CLAP_ABI* get_extension)(const struct clap_preset_discovery_provider* provider, const char* extension_id);
} clap_preset_discovery_provider_t;

typedef struct clap_preset_discovery_indexer {
  clap_version_t clap_version;
  const char* name;
  const char* vendor;
  const char* url;
  const char* version;
  void* indexer_data;
  bool(CLAP_ABI* declare_filetype)(const struct clap_preset_discovery_indexer* indexer,
                                   const clap_preset_discovery_filetype_t* filetype);
  bool(CLAP_ABI* declare_location)(const struct clap_preset_discovery_indexer* indexer,
                                   const clap_preset_discovery_location_t* location);
  bool(CLAP_ABI* declare_soundpack)(const struct clap_preset_discovery_indexer* indexer,
                                    const clap_preset_discovery_soundpack_t* soundpack);
  const void*(CLAP_ABI* get_extension)(const struct clap_preset_discovery_indexer* indexer, const char* extension_id);
} clap_preset_discovery_indexer_t;

typedef struct clap_preset_discovery_factory {
  uint32_t(CLAP_ABI* count)(const struct clap_preset_discovery_factory* factory);
  const clap_preset_discovery_provider_descriptor_t*(CLAP_ABI* get_descriptor)(
      const struct clap_preset_discovery_factory* factory, uint32_t index);
  const clap_preset_discovery_provider_t*(CLAP_ABI* create)(const struct clap_preset_discovery_factory* factory,
                                                            const clap_preset_discovery_indexer_t* indexer,
                                                            const char* provider_id);
} clap_preset_discovery_factory_t;

static constexpr const char CLAP_EXT_PRESET_LOAD[] = "clap.preset-load/2";
static constexpr const char CLAP_EXT_PRESET_LOAD_COMPAT[] = "clap.preset-load.draft/2";

typedef struct clap_plugin_preset_load {
  // Main thread; true when the preset was loaded.
  bool(CLAP_ABI* from_location)(const clap_plugin_t* plugin, uint32_t location_kind, const char* location,
                                const char* load_key);
} clap_plugin_preset_load_t;

typedef struct clap_host_preset_load {
  void(CLAP_ABI* on_error)(const clap_host_t* host, uint32_t location_kind, const char* location, const char* load_key,
                           int32_t os_error, const char* msg);
  void(CLAP_ABI* loaded)(const clap_host_t* host, uint32_t location_kind, const char* location, const char* load_key);
} clap_host_preset_load_t;

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

// ---- clap.configurable-audio-ports: the host asks for a port layout by channel counts (main thread, inactive). ----
extern "C" {

static constexpr const char CLAP_EXT_CONFIGURABLE_AUDIO_PORTS[] = "clap.configurable-audio-ports/1";
// Hosts built against CLAP before 1.2.3 ask under the draft name; the layout is the same.
static constexpr const char CLAP_EXT_CONFIGURABLE_AUDIO_PORTS_COMPAT[] = "clap.configurable-audio-ports.draft1";

typedef struct clap_audio_port_configuration_request {
  bool is_input;
  uint32_t port_index;
  uint32_t channel_count;
  const char* port_type;     // may be null
  const void* port_details;  // only for surround and ambisonic ports
} clap_audio_port_configuration_request_t;

typedef struct clap_plugin_configurable_audio_ports {
  bool(CLAP_ABI* can_apply_configuration)(const clap_plugin_t* plugin,
                                          const struct clap_audio_port_configuration_request* requests,
                                          uint32_t request_count);
  // All requests together or none; once applied the host need not rescan the audio ports.
  bool(CLAP_ABI* apply_configuration)(const clap_plugin_t* plugin,
                                      const struct clap_audio_port_configuration_request* requests,
                                      uint32_t request_count);
} clap_plugin_configurable_audio_ports_t;

}  // extern "C"

// ---- clap.render ----
extern "C" {

// clap.render: the host says whether it renders in real time or offline (a bounce, as fast as it can).
static constexpr const char CLAP_EXT_RENDER[] = "clap.render";

enum {
  CLAP_RENDER_REALTIME = 0,
  CLAP_RENDER_OFFLINE = 1,
};
typedef int32_t clap_plugin_render_mode;

typedef struct clap_plugin_render {
  bool(CLAP_ABI* has_hard_realtime_requirement)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* set)(const clap_plugin_t* plugin, clap_plugin_render_mode mode);
} clap_plugin_render_t;

}  // extern "C"
