// Editing a name byte by byte while keeping UTF-8 characters whole.
#include "NameEdit.h"

#include <algorithm>
#include <cstdlib>

namespace vrui {
namespace {

bool continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Keeps caret and anchor inside the text and on character starts, whatever a caller left in them.
void sanitize(NameEdit& e) {
  const auto n = static_cast<int32_t>(e.text.size());
  e.caret = std::clamp(e.caret, 0, n);
  e.anchor = std::clamp(e.anchor, 0, n);
  while (e.caret > 0 && e.caret < n && continuation(e.text[static_cast<size_t>(e.caret)])) --e.caret;
  while (e.anchor > 0 && e.anchor < n && continuation(e.text[static_cast<size_t>(e.anchor)])) --e.anchor;
}

int32_t prevStart(const std::string& s, int32_t pos) {
  if (pos <= 0) return 0;
  --pos;
  while (pos > 0 && continuation(s[static_cast<size_t>(pos)])) --pos;
  return pos;
}

int32_t nextStart(const std::string& s, int32_t pos) {
  const auto n = static_cast<int32_t>(s.size());
  if (pos >= n) return n;
  ++pos;
  while (pos < n && continuation(s[static_cast<size_t>(pos)])) ++pos;
  return pos;
}

bool eraseSelection(NameEdit& e) {
  if (e.caret == e.anchor) return false;
  const int32_t a = std::min(e.caret, e.anchor), b = std::max(e.caret, e.anchor);
  e.text.erase(static_cast<size_t>(a), static_cast<size_t>(b - a));
  e.caret = e.anchor = a;
  return true;
}

}  // namespace

bool neInsert(NameEdit& e, const std::string& text, int limit) {
  sanitize(e);
  std::string clean;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 32 && b != 127) clean.push_back(c);
  }
  if (clean.empty()) return false;
  const auto selected = static_cast<size_t>(std::abs(e.caret - e.anchor));
  if (e.text.size() - selected + clean.size() > static_cast<size_t>(std::max(limit, 0))) return false;
  eraseSelection(e);
  e.text.insert(static_cast<size_t>(e.caret), clean);
  e.caret += static_cast<int32_t>(clean.size());
  e.anchor = e.caret;
  return true;
}

bool neBackspace(NameEdit& e) {
  sanitize(e);
  if (eraseSelection(e)) return true;
  if (e.caret == 0) return false;
  const int32_t from = prevStart(e.text, e.caret);
  e.text.erase(static_cast<size_t>(from), static_cast<size_t>(e.caret - from));
  e.caret = e.anchor = from;
  return true;
}

bool neDelete(NameEdit& e) {
  sanitize(e);
  if (eraseSelection(e)) return true;
  const int32_t to = nextStart(e.text, e.caret);
  if (to == e.caret) return false;
  e.text.erase(static_cast<size_t>(e.caret), static_cast<size_t>(to - e.caret));
  e.anchor = e.caret;
  return true;
}

void neLeft(NameEdit& e, bool extend) {
  sanitize(e);
  if (!extend && e.caret != e.anchor) {
    e.caret = e.anchor = std::min(e.caret, e.anchor);
    return;
  }
  e.caret = prevStart(e.text, e.caret);
  if (!extend) e.anchor = e.caret;
}

void neRight(NameEdit& e, bool extend) {
  sanitize(e);
  if (!extend && e.caret != e.anchor) {
    e.caret = e.anchor = std::max(e.caret, e.anchor);
    return;
  }
  e.caret = nextStart(e.text, e.caret);
  if (!extend) e.anchor = e.caret;
}

void neHome(NameEdit& e, bool extend) {
  sanitize(e);
  e.caret = 0;
  if (!extend) e.anchor = 0;
}

void neEnd(NameEdit& e, bool extend) {
  sanitize(e);
  e.caret = static_cast<int32_t>(e.text.size());
  if (!extend) e.anchor = e.caret;
}

void neSelectAll(NameEdit& e) {
  e.anchor = 0;
  e.caret = static_cast<int32_t>(e.text.size());
}

std::string neTrim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return {};
  const size_t b = s.find_last_not_of(" \t");
  return s.substr(a, b - a + 1);
}

std::string neClip(const std::string& text, int limit) {
  if (limit < 0) limit = 0;
  if (text.size() <= static_cast<size_t>(limit)) return text;
  auto n = static_cast<size_t>(limit);
  while (n > 0 && continuation(text[n])) --n;
  return text.substr(0, n);
}

NameCommit neCommit(const std::string& edited, const std::string& hostName, const std::string& product) {
  if (!edited.empty() && edited != hostName) return {edited, true};
  return {hostName.empty() ? product : hostName, false};
}

}  // namespace vrui
