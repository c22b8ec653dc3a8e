// The LV2 port layout of a plug-in, derived from its configuration record.
#include "Lv2Ports.h"

#include "Plugin.h"

namespace vfw {

Lv2Ports lv2Ports(const Config& config) {
  Lv2Ports ports;
  const std::vector<BusLayout> layouts = parseChannelIO(config.channelIO);
  int widest = 0;
  for (size_t i = 0; i < layouts.size(); ++i)
    if (layouts[i].TotalOutputChannels() > layouts[static_cast<size_t>(widest)].TotalOutputChannels())
      widest = static_cast<int>(i);
  ports.layoutIndex = widest;
  uint32_t next = 0;
  if (config.plugDoesMidiIn) ports.midiIn = next++;
  ports.firstAudio = next;
  ports.nAudio = static_cast<uint32_t>(
      std::min(layouts[static_cast<size_t>(widest)].TotalOutputChannels(), Plugin::kMaxOutputChannels));
  next += ports.nAudio;
  ports.firstControl = next;
  ports.nControl = static_cast<uint32_t>(std::max(0, config.nParams));
  next += ports.nControl;
  ports.count = next;
  return ports;
}

}  // namespace vfw
