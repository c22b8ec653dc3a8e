// Opening and closing the editor window for the host; the window runs on its own thread until closed.
#include "Vorrel.h"

#include <atomic>

namespace {

// Set once when the module loads (before any instance exists), read on the host's main thread.
std::atomic<EditorViewMaker> gEditorViewMaker{nullptr};

}  // namespace

void Vorrel::SetEditorViewMaker(EditorViewMaker maker) { gEditorViewMaker.store(maker, std::memory_order_release); }

void Vorrel::closeEditor() {
  if (!ui) return;
  ui->Close();
  delete ui;
  ui = nullptr;
}

void* Vorrel::OpenWindow(void* parent) {
  closeEditor();
  int w = storedEditorWidth();
  int h = storedEditorHeight();
  if (w <= 99 || h <= 99) {
    w = kDefaultEditorW;
    h = kDefaultEditorH;
  }
  SetEditorSize(w, h);
  // Called from a host callback: a failed allocation leaves the plug-in without an editor, never throws.
  const EditorViewMaker make = gEditorViewMaker.load(std::memory_order_acquire);
  ui = make ? make() : nullptr;
  if (ui) ui->Open(reinterpret_cast<uintptr_t>(parent), w, h, this);
  return parent;
}

void Vorrel::CloseWindow() {
  SetEditorSize(storedEditorWidth(), storedEditorHeight());
  closeEditor();
}
