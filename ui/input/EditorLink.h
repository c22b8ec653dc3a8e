// What the editor window needs of the plug-in that opens it. Declared here, implemented by the plug-in, so the
// window reaches the shell only through these interfaces and never includes the shell.
#pragma once

#include "InputHost.h"
#include "PanelShell.h"

namespace vrui {

// The editor's size as the host and the project know it. Called on the editor thread.
class EditorSizeHost {
 public:
  virtual ~EditorSizeHost() = default;
  // The size the project remembers, in pixels.
  virtual int storedWidth() const = 0;
  virtual int storedHeight() const = 0;
  virtual void setStored(int w, int h) = 0;
  // The size the host reads back from its size query.
  virtual void setCurrent(int w, int h) = 0;
  // Asks the host to resize its window to w x h (the parent follower's request).
  virtual void askHost(int w, int h) = 0;
  // The resize grip's request, in the host's units.
  virtual void requestResize(int w, int h) = 0;
};

// What the panel's input asks of the window itself rather than of the plug-in.
class WindowOps {
 public:
  virtual ~WindowOps() = default;
  // The resize grip, dragged from startX at startScale to window x.
  virtual void gripDragTo(float x, float startX, float startScale) = 0;
  // A name edit begins, so typed keys come to this window.
  virtual void grabKeyboardFocus() = 0;
};

// One open editor's view of the plug-in: what the panel reads, what the input drives, the editor's size. Made by
// the plug-in for each opening and kept alive until the window is closed; used on the editor thread only.
class EditorLink {
 public:
  virtual ~EditorLink() = default;
  virtual const PanelShell& panel() const = 0;
  virtual InputHost& input() = 0;
  virtual EditorSizeHost& size() = 0;
};

}  // namespace vrui
