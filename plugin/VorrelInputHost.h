// The panel input's view of the plug-in and of its window: each operation goes straight to the shell.
#pragma once

#include "EditorLink.h"
#include "InputHost.h"

class Vorrel;

// Built with the window and used on its UI thread only.
class VorrelInputHost final : public vrui::InputHost {
 public:
  VorrelInputHost(Vorrel& plug, vrui::WindowOps& window) : plug(plug), window(window) {}

  int paramCount() const override;
  double paramValue(int id) const override;
  double paramNormalized(int id) const override;
  double paramDefaultNormalized(int id) const override;
  double paramToNormalized(int id, double plain) const override;
  void setParamFromUI(int id, double normalized) override;
  void beginParamGesture(int id) override;
  void endParamGesture(int id) override;

  void undoMark() override;
  void undoPush() override;
  void uiUndo() override;
  void uiRedo() override;
  void uiAbSwitch(int slot) override;

  int uiPresetCount() const override;
  int uiPresetAbsIndex() const override;
  std::string uiPresetName() const override;
  int presetIndexByName(const std::string& name) const override;
  std::string factoryCategory(int number) const override;
  std::vector<std::string> uiUserPresetNames() const override;
  void recallPreset(int number) override;
  void recallUserPreset(const std::string& name) override;
  bool savePreset(const std::string& name) override;
  void renamePresetByName(const std::string& from, const std::string& to) override;
  void deletePresetByName(const std::string& name) override;

  std::vector<std::string> uiMemoryNames() const override;
  void uiLoadMemory(const std::string& name) override;
  void uiDeleteMemory(const std::string& name) override;
  void uiSaveMemoryAs(const std::string& name) override;
  void uiLoadBiography(int index) override;
  void uiSealFromMachine() override;
  void uiSetHearBare(bool on) override;
  void postClearMemory() override;
  void postMemorySpeed(double speed) override;

  bool velocityLengthMode() const override;
  void setVelocityLengthMode(bool on) override;
  void setProgramChangeEnabled(bool on) override;
  std::string uiTrackName() const override;
  std::string uiHostTrackName() const override;
  void setTrackNameOverride(const std::string& name) override;

  bool pushUiNote(uint32_t code, float value) override;

  bool hostTakesUIThreadResize() const override;
  void gripDrag(float x, float startX, float startScale) override;
  void takeKeyboardFocus() override;

 private:
  Vorrel& plug;
  vrui::WindowOps& window;
};
