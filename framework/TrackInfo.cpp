// The host's track-info extension: found at init under its final or draft name, read on the main thread.
#include "Plugin.h"

#include <cstring>

namespace vfw {

void Plugin::queryTrackInfo() {
  if (!host || !host->get_extension) return;
  const void* ext = host->get_extension(host, CLAP_EXT_TRACK_INFO);
  if (!ext) ext = host->get_extension(host, CLAP_EXT_TRACK_INFO_COMPAT);
  hostTrackInfo = static_cast<const clap_host_track_info_t*>(ext);
  if (hostTrackInfo) OnHostTrackInfoChanged();
}

bool Plugin::GetHostTrackName(std::string& out) const {
  out.clear();
  if (!hostTrackInfo || !hostTrackInfo->get) return false;
  clap_track_info_t info{};
  if (!hostTrackInfo->get(host, &info) || !(info.flags & CLAP_TRACK_INFO_HAS_TRACK_NAME)) return false;
  // A host may leave the name unterminated: read at most the field.
  out.assign(info.name, strnlen(info.name, sizeof info.name));
  return true;
}

}  // namespace vfw
