// What every format says about Vorrel: its identity, its framework configuration and its output bus names.
#pragma once

#include "Config.h"

inline constexpr const char* kVorrelId = "com.OskelAudio.Vorrel";
inline constexpr const char* kVorrelName = "Vorrel";
inline constexpr const char* kVorrelVendor = "OskelAudio";
inline constexpr const char* kVorrelVersion = "1.0.1";
inline constexpr const char* kVorrelDescription =
    "The modal synth that remembers - what you play engraves the instrument";
// The LV2 plug-in URI; the bundle's state keys, presets and editor are named after it.
inline constexpr const char* kVorrelLv2Uri = "urn:oskelaudio:vorrel";
inline constexpr const char* kVorrelLv2UiUri = "urn:oskelaudio:vorrel:ui";

// Bus names when more than one output bus is active.
inline constexpr const char* kVorrelBusNames[3] = {"Main", "Bare", "Wear"};

vfw::Config vorrelConfig();
