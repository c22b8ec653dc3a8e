// The single-line name editor: UTF-8 text with a caret and a selection, and the track-name commit rule.
#pragma once

#include <cstdint>
#include <string>

namespace vrui {

inline constexpr int kNameLimit = 39;  // bytes, for every preset, memory and track name

// The selection runs between anchor and caret (byte offsets).
struct NameEdit {
  bool active = false;
  std::string text;
  int32_t caret = 0;
  int32_t anchor = 0;
};

// Inserts text at the caret, replacing the selection. Bytes below 32 and 127 are dropped; the whole insertion is
// refused when the name would exceed limit bytes. True when the text changed.
bool neInsert(NameEdit& e, const std::string& text, int limit = kNameLimit);
// Removes the selection, else the UTF-8 character before (Backspace) or after (Delete) the caret.
bool neBackspace(NameEdit& e);
bool neDelete(NameEdit& e);
// Caret moves by whole UTF-8 characters; with extend the anchor stays, otherwise it follows. Without extend, an
// existing selection collapses to its start (left) or end (right) instead of moving.
void neLeft(NameEdit& e, bool extend);
void neRight(NameEdit& e, bool extend);
void neHome(NameEdit& e, bool extend);
void neEnd(NameEdit& e, bool extend);
void neSelectAll(NameEdit& e);
// Blanks and tabs off both ends.
std::string neTrim(const std::string& s);
// The first bytes of text that fit the limit without cutting a character.
std::string neClip(const std::string& text, int limit = kNameLimit);

// What a committed track name means: the name shown, and whether it is the user's own (an override). A name that
// is empty or equals the host's sets no override, so later host renames show through; without a host name the
// product word is shown, and a track is never nameless.
struct NameCommit {
  std::string name;
  bool own = false;
};
NameCommit neCommit(const std::string& edited, const std::string& hostName, const std::string& product);

}  // namespace vrui
