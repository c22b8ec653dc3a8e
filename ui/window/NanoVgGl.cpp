// NanoVG and its OpenGL 2 back-end as one C++ translation unit, calling GL through the glad loader.
#include <glad/gl.h>

#include "nanovg.c"
#define NANOVG_GL2_IMPLEMENTATION
#include "nanovg_gl.h"
