// The plug-in module's editor: the window, opened on its link to the shell. The window's maker is installed as
// the module loads; kept out of the shell library so that the shell and its tests link without X11 and GL.
#include "Vorrel.h"
#include "VorrelEditorLink.h"
#include "VorrelUI.h"

#include <memory>
#include <new>

namespace {

// Host main thread, like the EditorView calls it implements.
class ModuleEditor final : public EditorView {
 public:
  ~ModuleEditor() override { window.Close(); }

  void Open(uintptr_t parent, int width, int height, Vorrel* shell) override {
    if (window.isRunning()) return;
    window.Close();  // joins a thread that ended by itself before its link goes
    link.reset();
    if (!shell) return;
    link.reset(new (std::nothrow) VorrelEditorLink(*shell, window));
    if (link) window.Open(parent, width, height, link.get());  // no memory: the host keeps a plug-in without one
  }

  void Close() override { window.Close(); }

 private:
  std::unique_ptr<VorrelEditorLink> link;  // outlives every run of the window's thread
  VorrelUI window;
};

EditorView* makeModuleEditor() { return new (std::nothrow) ModuleEditor(); }

struct InstallEditor {
  InstallEditor() { Vorrel::SetEditorViewMaker(&makeModuleEditor); }
} gInstallEditor;

}  // namespace
