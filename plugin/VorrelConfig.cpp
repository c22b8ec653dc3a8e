// The framework configuration record of Vorrel, shared by the plug-in and the LV2 bundle's generator.
#include "VorrelConfig.h"

#include "Params.h"

vfw::Config vorrelConfig() {
  vfw::Config c;
  c.nParams = kNumParams;
  c.nPresets = 1;
  c.channelIO = "0-2 0-2.2 0-2.2.2";
  c.pluginName = kVorrelName;
  c.productName = kVorrelName;
  c.mfrName = kVorrelVendor;
  c.vendorVersion = 0x00010001;
  c.uniqueId = 0x566F726C;  // 'Vorl'
  c.mfrId = 0x4F736B6C;     // 'Oskl'
  c.latency = 0;
  c.plugDoesMidiIn = true;
  c.plugDoesMidiOut = false;
  c.plugDoesMPE = true;
  c.plugDoesChunks = true;
  c.plugType = vfw::PlugType::Instrument;
  c.plugHasUI = true;
  c.plugWidth = 960;
  c.plugHeight = 660;
  c.minWidth = 320;
  c.maxWidth = 2880;
  c.minHeight = 220;
  c.maxHeight = 1980;
  c.hostResize = true;
  return c;
}
