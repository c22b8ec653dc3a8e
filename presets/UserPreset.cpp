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

bool readWord(const char* begin, const char* end, double& out) {
  const char* q = begin;
  const bool minus = q < end && *q == '-';
  if (q < end && (*q == '+' || *q == '-')) ++q;
  const bool hex = end - q > 2 && q[0] == '0' && (q[1] == 'x' || q[1] == 'X');
  if (hex) q += 2;
  if (q == end || *q == '+' || *q == '-') return false;
  double v = 0.0;
  const auto res = std::from_chars(q, end, v, hex ? std::chars_format::hex : std::chars_format::general);
  if (res.ec != std::errc() || res.ptr != end || !std::isfinite(v)) return false;
  out = minus ? -v : v;
  return true;
}

std::string presetLine(const UserPreset& preset) {
  if (preset.lineNumbers) return "p1" + *preset.lineNumbers + "\t" + preset.name + "\n";
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

  // Word n is value n for n < 27, then extra n - 27; words past the extras are ignored.
  const char* cur = line.data() + 2;
  const char* end = line.data() + tab;
  const auto blank = [](char c) { return c == ' ' || c == '\v' || c == '\f' || c == '\r'; };
  constexpr size_t kValues = static_cast<size_t>(kNumStoredParams);
  for (size_t n = 0; n < kValues + kNumExtras; ++n) {
    while (cur < end && blank(*cur)) ++cur;
    if (cur == end) break;
    const char* wordEnd = cur;
    while (wordEnd < end && !blank(*wordEnd)) ++wordEnd;
    double v = 0.0;
    if (readWord(cur, wordEnd, v)) {
      if (n < kValues) {
        p.values[n] = v;
        p.has[n] = true;
      } else {
        p.extras[n - kValues] = v;
      }
    }
    cur = wordEnd;
  }
  clampTrackExtras(p.extras);
  p.lineNumbers = line.substr(2, tab - 2);
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

std::string userPresetKey(const std::vector<UserPreset>& presets, size_t index) {
  if (index >= presets.size()) return {};
  const std::string& name = presets[index].name;
  const auto before = std::count_if(presets.begin(), presets.begin() + static_cast<std::ptrdiff_t>(index),
                                    [&](const UserPreset& p) { return p.name == name; });
  return before == 0 ? name : name + "\t" + std::to_string(before);
}

int userPresetIndexByKey(const std::vector<UserPreset>& presets, const std::string& key) {
  std::string name = key;
  long skip = 0;
  // A hand-written name may hold a tab itself: the whole key as a name comes first.
  const bool asName = std::any_of(presets.begin(), presets.end(), [&](const UserPreset& p) { return p.name == key; });
  const size_t tab = key.rfind('\t');
  if (!asName && tab != std::string::npos) {
    const char* first = key.data() + tab + 1;
    const char* last = key.data() + key.size();
    const auto res = std::from_chars(first, last, skip);
    if (res.ec != std::errc() || res.ptr != last || skip < 1) return -1;
    name = key.substr(0, tab);
  }
  for (size_t i = 0; i < presets.size(); ++i)
    if (presets[i].name == name && skip-- == 0) return static_cast<int>(i);
  return -1;
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
