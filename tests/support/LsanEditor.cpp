// Leak-checker suppressions for the editor tests: what the X and GL libraries keep for the process's lifetime.
// Our own code, pugl and NanoVG are not suppressed.
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
