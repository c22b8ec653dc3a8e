// NanoVG and its OpenGL 2 back-end as one C++ translation unit, calling GL through the glad loader.
#include <glad/gl.h>

#include "nanovg.c"

// The back-end turns GL's scissor test off as each flush begins. A partial redraw keeps it on, so that pixels
// outside the rectangle being rebuilt are never shaded (NanoVG's own scissor only hides them, after shading).
static bool gVorrelKeepGlScissor = false;
static void vorrelGlDisable(GLenum cap) {
  if (cap == GL_SCISSOR_TEST && gVorrelKeepGlScissor) return;
  glad_glDisable(cap);
}
void nvgKeepGlScissor(bool keep) { gVorrelKeepGlScissor = keep; }

#undef glDisable
#define glDisable vorrelGlDisable
#define NANOVG_GL2_IMPLEMENTATION
#include "nanovg_gl.h"
#undef glDisable
