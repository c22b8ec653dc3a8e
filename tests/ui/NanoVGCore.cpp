// NanoVG compiled for the tests, without images; the window compiles its own copy with the GL back-end.
#define NVG_NO_STB
#include "nanovg.c"
