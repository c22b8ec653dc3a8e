// glad keeps its function pointers in globals: two editors realizing at once must not write them together.
#include "GlLoader.h"

#include "PuglApi.h"

#include <mutex>

namespace vrui {
namespace {

GLADapiproc procAddress(const char* name) { return reinterpret_cast<GLADapiproc>(puglGetProcAddress(name)); }

}  // namespace

bool loadGlFunctions() {
  static std::mutex loadMutex;
  static bool loaded = false;  // guarded by loadMutex; the pointers are written only while it is held
  std::lock_guard<std::mutex> lock(loadMutex);
  if (!loaded) loaded = gladLoadGL(procAddress) != 0 && GLAD_GL_VERSION_2_1;
  return loaded;
}

}  // namespace vrui
