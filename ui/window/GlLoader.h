// Loads the OpenGL functions once per process; they are process-wide, while each editor has its own thread.
#pragma once

namespace vrui {

// UI thread with a current GL context. True when the GL 2.1 functions are available.
bool loadGlFunctions();

}  // namespace vrui
