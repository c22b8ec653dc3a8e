/* Builds the vector library's font rasteriser on its own, without a graphics context, so tests can measure text
   exactly as the panel does. Compiled without our warning flags: the code is Debian's. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#define FONTSTASH_IMPLEMENTATION
#include "fontstash.h"

void* vtFontsCreate(void) {
  FONSparams params;
  memset(&params, 0, sizeof params);
  params.width = 512;
  params.height = 512;
  params.flags = FONS_ZERO_TOPLEFT;
  return fonsCreateInternal(&params);
}

void vtFontsDelete(void* fs) { fonsDeleteInternal((FONScontext*)fs); }

int vtFontsAdd(void* fs, const char* name, const char* path) { return fonsAddFont((FONScontext*)fs, name, path, 0); }

float vtFontsWidth(void* fs, int font, float sizePx, float spacingPx, const char* text) {
  FONScontext* s = (FONScontext*)fs;
  float bounds[4];
  fonsSetFont(s, font);
  fonsSetSize(s, sizePx);
  fonsSetSpacing(s, spacingPx);
  fonsSetBlur(s, 0);
  fonsSetAlign(s, FONS_ALIGN_LEFT | FONS_ALIGN_BASELINE);
  return fonsTextBounds(s, 0, 0, text, NULL, bounds);
}
