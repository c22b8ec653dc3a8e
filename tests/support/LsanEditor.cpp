// Leak-checker suppressions for the editor tests: what the X and GL libraries keep for the process's lifetime.
// Our own code, pugl and NanoVG are not suppressed.
#include <dlfcn.h>

#include <initializer_list>

extern "C" const char* __lsan_default_suppressions() {
  return "leak:libX11.so\n"
         "leak:libxcb.so\n"
         "leak:libGLX_mesa.so\n"
         "leak:libGLX.so\n"
         "leak:libGLdispatch.so\n"
         "leak:libglapi.so\n"
         "leak:swrast_dri.so\n"
         "leak:libLLVM\n"
         "leak:libdrm.so\n"
         "leak:libexpat.so\n";
}

namespace {

// The suppressions match by library name, so the plug-in and the GL driver stay loaded to the end: an unloaded
// library's allocations would be reported from an unknown module.
const bool kPinned = [] {
  for (const char* lib :
       {VORREL_CLAP_PATH, "libGLX_mesa.so.0", "libglapi.so.0", "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so"})
    dlopen(lib, RTLD_NOW | RTLD_NODELETE);
  return true;
}();

}  // namespace
