// What the shell needs of its editor window. The window library implements it and the plug-in module installs its
// maker, so the shell and its tests never link X11 or GL.
#pragma once

#include <cstdint>

class Vorrel;

class EditorView {
 public:
  virtual ~EditorView() = default;
  // Host main thread. Open starts the editor's thread on the host's parent window; Close stops and joins it.
  // Neither throws.
  virtual void Open(uintptr_t parent, int width, int height, Vorrel* shell) = 0;
  virtual void Close() = 0;
};

// Makes a closed editor; null when none can be made. Never throws.
using EditorViewMaker = EditorView* (*)();
