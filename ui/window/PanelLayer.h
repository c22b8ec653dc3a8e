// The drawn panel kept in a framebuffer object: a frame that changes in a few places rebuilds only those places in
// it, and every frame shows it on the window with one textured quad.
#pragma once

namespace vrui {

// UI thread only, with the window's GL context current; release before the context goes.
class PanelLayer {
 public:
  // Binds the layer (w x h pixels) as the drawing target, making it first when the size changed; fresh says the
  // layer holds no frame yet. False when the driver has no framebuffer objects: draw to the window then.
  bool bind(int w, int h, bool& fresh);
  // Back to the window's framebuffer.
  void unbind();
  // Draws the layer over the current viewport.
  void show();
  void release();

 private:
  unsigned fbo = 0, tex = 0, depthStencil = 0;
  int texW = 0, texH = 0;
  bool failed = false;  // the driver cannot make one: never asked again
};

}  // namespace vrui
