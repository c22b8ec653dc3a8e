// Stand-in for the name editor's record, until the real input code replaces this file.
#pragma once

#include <cstdint>
#include <string>

namespace vrui {

struct NameEdit {
  bool active = false;
  std::string text;
  int32_t caret = 0;
  int32_t anchor = 0;
};

// Inserts UTF-8 text at the caret, keeping the name within limit bytes.
void neInsert(NameEdit& edit, const char* text, int limit);

}  // namespace vrui
