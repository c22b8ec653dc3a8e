// The controls of the panel, as the panel state names them.
#pragma once

#include "PanelState.h"

namespace vrui {

// The text tables and the input name controls by the panel state's own enumeration.
using Control = PanelState::Ctrl;

}  // namespace vrui
