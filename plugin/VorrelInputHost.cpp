// The panel input's operations onto the plug-in shell and the window.
#include "VorrelInputHost.h"

#include "FactoryPresets.h"
#include "PanelSource.h"
#include "Vorrel.h"

int VorrelInputHost::paramCount() const { return kNumParams; }
double VorrelInputHost::paramValue(int id) const { return plug.GetParam(id)->Value(); }
double VorrelInputHost::paramNormalized(int id) const { return plug.GetParam(id)->GetNormalized(); }
double VorrelInputHost::paramDefaultNormalized(int id) const {
  return plug.GetParam(id)->ToNormalized(plug.GetParam(id)->GetDefault());
}
double VorrelInputHost::paramToNormalized(int id, double plain) const { return plug.GetParam(id)->ToNormalized(plain); }
// Queued for the host: the next process or flush sends the value inside the gesture.
void VorrelInputHost::setParamFromUI(int id, double n) { plug.SendParameterValueFromUI(id, n); }
void VorrelInputHost::beginParamGesture(int id) { plug.BeginInformHostOfParamChangeFromUI(id); }
void VorrelInputHost::endParamGesture(int id) { plug.EndInformHostOfParamChangeFromUI(id); }

void VorrelInputHost::undoMark() { plug.undoMark(); }
void VorrelInputHost::undoPush() { plug.undoPush(); }
void VorrelInputHost::uiUndo() { plug.uiUndo(); }
void VorrelInputHost::uiRedo() { plug.uiRedo(); }
void VorrelInputHost::uiAbSwitch(int slot) { plug.uiAbSwitch(slot); }

int VorrelInputHost::uiPresetCount() const { return plug.uiPresetCount(); }
int VorrelInputHost::uiPresetAbsIndex() const { return plug.uiPresetAbsIndex(); }
std::string VorrelInputHost::uiPresetName() const { return plug.uiPresetName(); }
int VorrelInputHost::presetIndexByName(const std::string& name) const { return vorrel::presetIndexByName(name); }
std::string VorrelInputHost::factoryCategory(int n) const {
  return n >= 0 && n < vorrel::kNumFactoryPresets ? vorrel::kFactoryPresets[static_cast<size_t>(n)].category : "";
}
std::vector<std::string> VorrelInputHost::uiUserPresetNames() const { return plug.uiUserPresetNames(); }
void VorrelInputHost::recallPreset(int n) { plug.recallPreset(n, true); }
void VorrelInputHost::recallUserPreset(const std::string& name) { plug.recallUserPreset(name, true); }
bool VorrelInputHost::savePreset(const std::string& name) { return plug.savePreset(name); }
void VorrelInputHost::renamePresetByName(const std::string& from, const std::string& to) {
  plug.renamePresetByName(from, to);
}
void VorrelInputHost::deletePresetByName(const std::string& name) { plug.deletePresetByName(name); }

std::vector<std::string> VorrelInputHost::uiMemoryNames() const { return plug.uiMemoryNames(); }
void VorrelInputHost::uiLoadMemory(const std::string& name) { plug.uiLoadMemory(name); }
void VorrelInputHost::uiDeleteMemory(const std::string& name) { plug.uiDeleteMemory(name); }
void VorrelInputHost::uiSaveMemoryAs(const std::string& name) { plug.uiSaveMemoryAs(name); }
void VorrelInputHost::uiLoadBiography(int index) { plug.uiLoadBiography(index); }
void VorrelInputHost::uiSealFromMachine() { plug.uiSealFromMachine(); }
void VorrelInputHost::uiSetHearBare(bool on) { plug.uiSetHearBare(on); }
void VorrelInputHost::postClearMemory() { plug.uiRequestClearMemory(); }
void VorrelInputHost::postMemorySpeed(double speed) { plug.uiRequestSpeed(speed); }

bool VorrelInputHost::velocityLengthMode() const { return VorrelPanelSource(plug).velocityLengthMode(); }
void VorrelInputHost::setVelocityLengthMode(bool on) {
  plug.setVelocityLengthMode(on);
  plug.MarkStateDirty();  // the pressure mode is stored with the project
}
void VorrelInputHost::setProgramChangeEnabled(bool on) { plug.uiSetProgramChangeEnabled(on); }
std::string VorrelInputHost::uiTrackName() const { return plug.uiTrackName(); }
std::string VorrelInputHost::uiHostTrackName() const { return plug.uiHostTrackName(); }
void VorrelInputHost::setTrackNameOverride(const std::string& name) { plug.uiSetTrackName(name); }

bool VorrelInputHost::pushUiNote(uint32_t code, float value) { return plug.pushPanelNote(UiNoteEvent{code, value}); }

bool VorrelInputHost::hostTakesUIThreadResize() const { return plug.hostTakesUIThreadResize(); }
void VorrelInputHost::gripDrag(float x, float startX, float startScale) { window.gripDragTo(x, startX, startScale); }
void VorrelInputHost::takeKeyboardFocus() { window.grabKeyboardFocus(); }
