// One open editor's link to its Vorrel: the panel's reads, the input's operations and the editor's size, each
// onto the shell. The window knows them only through the interfaces the editor declares.
#pragma once

#include "EditorLink.h"
#include "PanelSource.h"
#include "VorrelInputHost.h"

class Vorrel;

// The editor's size kept by the shell and negotiated with the host through the framework.
class VorrelEditorSize final : public vrui::EditorSizeHost {
 public:
  explicit VorrelEditorSize(Vorrel& plug) : plug(plug) {}
  int storedWidth() const override;
  int storedHeight() const override;
  void setStored(int w, int h) override;
  void setCurrent(int w, int h) override;
  void askHost(int w, int h) override;
  void requestResize(int w, int h) override;

 private:
  Vorrel& plug;
};

// Made on the host's main thread when the editor opens, used on the editor thread until it closes.
class VorrelEditorLink final : public vrui::EditorLink {
 public:
  VorrelEditorLink(Vorrel& plug, vrui::WindowOps& window) : source(plug), inputHost(plug, window), sizeHost(plug) {}
  const vrui::PanelShell& panel() const override { return source; }
  vrui::InputHost& input() override { return inputHost; }
  vrui::EditorSizeHost& size() override { return sizeHost; }

 private:
  VorrelPanelSource source;
  VorrelInputHost inputHost;
  VorrelEditorSize sizeHost;
};
