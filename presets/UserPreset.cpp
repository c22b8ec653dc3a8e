// Writing and reading preset lines with to_chars/from_chars, so a host's decimal-comma locale changes nothing.
#include "UserPreset.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace vorrel {

bool storableName(const std::string& name) {
  return !name.empty() && name.find_first_of("\t\r\n") == std::string::npos;
}

void appendFixed6(std::string& out, double v) {
  if (!std::isfinite(v)) v = 0.0;  // never write a number the reader would stop at
  char buf[400];                   // 1e308 in fixed notation needs 309 digits and the decimals
  const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
  out.append(buf, res.ptr);
}

bool readNumber(const char*& p, const char* end, double& out) {
  const char* q = p;
  while (q < end && (*q == ' ' || *q == '\t' || *q == '\n' || *q == '\v' || *q == '\f' || *q == '\r')) ++q;
  bool plus = false;
  if (q < end && *q == '+') {
    plus = true;
    ++q;
  }
  if (plus && q < end && *q == '-') return false;
  double v = 0.0;
  const auto res = std::from_chars(q, end, v, std::chars_format::general);
  if (res.ec != std::errc() || !std::isfinite(v)) return false;
  out = v;
  p = res.ptr;
  return true;
}

std::string presetLine(const UserPreset& preset) {
  std::string line = "p1";
  line.reserve(40 * 12);
  for (int i = 0; i < kNumStoredParams; ++i) {
    line.push_back(' ');
    appendFixed6(line, preset.values[static_cast<size_t>(i)]);
  }
  for (double e : preset.extras) {
    line.push_back(' ');
    appendFixed6(line, e);
  }
  line.push_back('\t');
  line += preset.name;
  line.push_back('\n');
  return line;
}

std::string libraryText(const std::vector<UserPreset>& presets) {
  std::string text;
  for (const auto& p : presets) text += presetLine(p);
  return text;
}

bool parsePresetLine(const std::string& line, UserPreset& out) {
  if (line.compare(0, 2, "p1") != 0) return false;
  const size_t tab = line.find('\t');
  if (tab == std::string::npos) return false;
  UserPreset p;
  p.name = line.substr(tab + 1);
  while (!p.name.empty() && (p.name.back() == '\r' || p.name.back() == '\n')) p.name.pop_back();
  if (p.name.empty()) return false;

  const char* cur = line.data() + 2;
  const char* end = line.data() + tab;
  int count = 0;
  for (double v = 0.0; count < kNumStoredParams && readNumber(cur, end, v); ++count) {
    p.values[static_cast<size_t>(count)] = v;
    p.has[static_cast<size_t>(count)] = true;
  }
  if (count == 0) return false;
  for (size_t e = 0; e < kNumExtras; ++e) {
    double v = 0.0;
    if (!readNumber(cur, end, v)) break;
    p.extras[e] = v;
  }
  clampTrackExtras(p.extras);
  out = std::move(p);
  return true;
}

void parseLibraryText(const std::string& text, std::vector<UserPreset>& presets) {
  presets.clear();
  size_t pos = 0;
  while (pos < text.size()) {
    size_t nl = text.find('\n', pos);
    nl = nl == std::string::npos ? text.size() : nl + 1;
    UserPreset p;
    if (parsePresetLine(text.substr(pos, nl - pos), p)) presets.push_back(std::move(p));
    pos = nl;
  }
}

void upsertPreset(std::vector<UserPreset>& presets, const UserPreset& preset) {
  for (auto& p : presets)
    if (p.name == preset.name) {
      p = preset;
      return;
    }
  presets.push_back(preset);
}

bool renamePreset(std::vector<UserPreset>& presets, const std::string& oldName, const std::string& newName) {
  if (!storableName(newName) || presets.empty()) return false;
  if (std::any_of(presets.begin(), presets.end(), [&](const UserPreset& p) { return p.name == newName; })) return false;
  for (auto& p : presets)
    if (p.name == oldName) {
      p.name = newName;
      return true;
    }
  return false;
}

}  // namespace vorrel
