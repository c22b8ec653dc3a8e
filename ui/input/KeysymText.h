// The text a key symbol types, for key presses that arrive without a text event.
#pragma once

#include <cstdint>
#include <string>

namespace vrui {

// The Unicode code point an X11 key symbol stands for, 0 for none (function keys, modifiers, unknown symbols).
uint32_t keysymCodepoint(uint32_t keysym);
// Its UTF-8 text; empty for control characters and key symbols that type nothing.
std::string keysymText(uint32_t keysym);

}  // namespace vrui
