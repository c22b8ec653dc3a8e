// The track-info extension of our host: a track name the tests and the command line can set and change.
#include "ClapHost.h"

#include <cstdio>

namespace vhost {
namespace {

Host* hostOf(const clap_host_t* h) { return static_cast<Host*>(h->host_data); }

const clap_host_track_info_t kTrackInfo{[](const clap_host_t* h, clap_track_info_t* info) {
  if (!hostOf(h)->onMainThread()) ++hostOf(h)->misbehaviours;
  std::string name;
  if (!info || !hostOf(h)->trackName(name)) return false;
  *info = clap_track_info_t{};
  info->flags = CLAP_TRACK_INFO_HAS_TRACK_NAME;
  std::snprintf(info->name, sizeof info->name, "%s", name.c_str());
  return true;
}};

}  // namespace

const void* trackInfoExtension(const clap_host_t*) { return &kTrackInfo; }

void Host::setTrackName(const std::string& name) {
  std::lock_guard<std::mutex> lock(trackMutex);
  trackNameText = name;
  trackNamed = true;
}

bool Host::trackName(std::string& out) const {
  std::lock_guard<std::mutex> lock(trackMutex);
  out = trackNameText;
  return trackNamed;
}

void Instance::trackInfoChanged() const {
  if (!plugin) return;
  const auto* ext = static_cast<const clap_plugin_track_info_t*>(plugin->get_extension(plugin, CLAP_EXT_TRACK_INFO));
  if (ext && ext->changed) ext->changed(plugin);
}

}  // namespace vhost
