// The plug-in module's editor: the window's maker is installed as the module loads. Kept out of the shell library
// so that the shell and its tests link without X11 and GL.
#include "Vorrel.h"
#include "VorrelUI.h"

namespace {

struct InstallEditor {
  InstallEditor() { Vorrel::SetEditorViewMaker(&makeVorrelUI); }
} gInstallEditor;

}  // namespace
