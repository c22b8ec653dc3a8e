// The per-user segment name, and the override test harnesses point the plug-in at a private segment with.
#include "SegmentName.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace vorrel::mem {
namespace {

const char* overrideName() {
  const char* v = std::getenv(kSegmentOverrideVar);
  return v && *v ? v : nullptr;
}

bool plainName(const char* v) {
  const size_t n = std::strlen(v);
  if (n == 0 || n > 200 || v[0] == '.') return false;
  for (size_t i = 0; i < n; ++i) {
    const char c = v[i];
    const bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

}  // namespace

std::string userSegmentName() { return std::string(kLegacySegmentName) + "_u" + std::to_string(::geteuid()); }

std::string machineSegmentName() {
  const char* v = overrideName();
  if (!v) return userSegmentName();
  return plainName(v) ? std::string(v) : std::string("/");  // "/" names nothing: every open fails
}

std::string legacySegmentName() { return overrideName() ? std::string() : std::string(kLegacySegmentName); }

}  // namespace vorrel::mem
