// The editor's size onto the shell's stored size and the framework's host calls.
#include "VorrelEditorLink.h"

#include "Vorrel.h"

int VorrelEditorSize::storedWidth() const { return plug.storedEditorWidth(); }
int VorrelEditorSize::storedHeight() const { return plug.storedEditorHeight(); }
void VorrelEditorSize::setStored(int w, int h) { plug.setStoredEditorSize(w, h); }
void VorrelEditorSize::setCurrent(int w, int h) { plug.SetEditorSize(w, h); }
void VorrelEditorSize::askHost(int w, int h) { plug.EditorResizeFromUI(w, h, true); }
void VorrelEditorSize::requestResize(int w, int h) { plug.requestEditorResize(w, h); }
