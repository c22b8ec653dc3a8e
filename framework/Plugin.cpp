// The framework base: construction, default hooks, bus layouts, host notifications and thread helpers.
#include "Plugin.h"

#include "ClapAdapter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace vfw {
namespace {

// The instance whose host main-thread call this thread is inside, if any.
thread_local const Plugin* tHostMainCall = nullptr;

}  // namespace

Plugin::HostMainCall::HostMainCall(const Plugin* plug) : saved(tHostMainCall) { tHostMainCall = plug; }

Plugin::HostMainCall::~HostMainCall() { tHostMainCall = saved; }

bool Plugin::InHostMainCall() const { return tHostMainCall == this; }

int BusLayout::TotalOutputChannels() const {
  int n = 0;
  for (int i = 0; i < nOutputBuses; ++i) n += outputChannels[i];
  return n;
}

std::vector<BusLayout> parseChannelIO(const char* channelIO) {
  std::vector<BusLayout> layouts;
  const char* p = channelIO ? channelIO : "";
  while (*p) {
    while (*p == ' ') ++p;
    if (!*p) break;
    BusLayout layout;
    layout.nInputChannels = static_cast<int>(std::strtol(p, const_cast<char**>(&p), 10));
    if (*p == '-') ++p;
    while (*p && *p != ' ') {
      const int channels = static_cast<int>(std::strtol(p, const_cast<char**>(&p), 10));
      if (layout.nOutputBuses < BusLayout::kMaxBuses && channels > 0)
        layout.outputChannels[layout.nOutputBuses++] = channels;
      if (*p == '.') {
        ++p;
      } else if (*p && *p != ' ') {
        ++p;  // skip a stray character rather than loop on it
      }
    }
    if (layout.nOutputBuses > 0) layouts.push_back(layout);
  }
  if (layouts.empty()) {
    BusLayout stereo;
    stereo.nOutputBuses = 1;
    stereo.outputChannels[0] = 2;
    layouts.push_back(stereo);
  }
  return layouts;
}

Plugin::Plugin(const InstanceInfo& info, const Config& config)
    : config(config),
      host(info.host),
      params(static_cast<size_t>(std::max(0, config.nParams))),
      layouts(parseChannelIO(config.channelIO)),
      mainThreadId(std::this_thread::get_id()),
      pendingOut(new std::atomic<uint32_t>[static_cast<size_t>(std::max(1, config.nParams))]) {
  for (int i = 0; i < std::max(1, config.nParams); ++i) pendingOut[static_cast<size_t>(i)].store(0);
  editorW.store(config.plugWidth);
  editorH.store(config.plugHeight);
  clapPlugin.desc = info.desc;
  clapPlugin.plugin_data = this;
  ClapAdapter::fillPlugin(clapPlugin);
}

Plugin::~Plugin() {
  idleTimer.Stop();
  stopMainTimer();
}

void Plugin::OnParamChange(int, ParamSource, int) {}

bool Plugin::ConstrainEditorResize(int& w, int& h) const {
  const int cw = std::clamp(w, config.minWidth, std::max(config.minWidth, config.maxWidth));
  const int ch = std::clamp(h, config.minHeight, std::max(config.minHeight, config.maxHeight));
  const bool same = cw == w && ch == h;
  w = cw;
  h = ch;
  return same;
}

bool Plugin::SerializeState(ByteChunk& chunk) const {
  for (const auto& p : params) chunk.PutDouble(p.Value());
  return true;
}

int Plugin::UnserializeState(const ByteChunk& chunk, int startPos) {
  int pos = startPos;
  for (auto& p : params) {
    double v = 0.0;
    pos = chunk.GetDouble(v, pos);
    if (pos < 0) return -1;
    p.Set(v);
  }
  return pos;
}

void Plugin::ProcessBlock(double**, double** outputs, int nFrames) {
  for (int c = 0; c < kMaxOutputChannels; ++c)
    if (outputs[c]) std::fill(outputs[c], outputs[c] + nFrames, 0.0);
}

void Plugin::ProcessMidiMsg(const MidiMsg&) {}

bool Plugin::LoadPresetFromLocation(uint32_t, const char*, const char*) { return false; }

void Plugin::GetBusName(Route dir, int busIdx, int nBuses, std::string& name) const {
  name = dir == Route::Output ? "Output" : "Input";
  if (nBuses > 1) {
    name.push_back(' ');
    name.append(std::to_string(busIdx + 1));
  }
}

void Plugin::SetEditorSize(int w, int h) {
  editorW.store(w, std::memory_order_release);
  editorH.store(h, std::memory_order_release);
}

bool Plugin::EditorResizeFromUI(int w, int h, bool needsPlatformResize) {
  SetEditorSize(w, h);
  if (needsPlatformResize) requestOnMainThread(kRequestGuiResize);
  return true;
}

bool Plugin::IsChannelConnected(Route dir, int channel) const {
  if (dir != Route::Output || channel < 0 || channel >= kMaxOutputChannels) return false;
  return (connectedMask >> channel) & 1u;
}

bool Plugin::SelectLayout(int index) {
  if (IsActive() || index < 0 || index >= static_cast<int>(layouts.size())) return false;
  activeConfig.store(index, std::memory_order_release);
  return true;
}

void Plugin::OnParamReset(ParamSource source) {
  for (int i = 0; i < NParams(); ++i) OnParamChange(i, source, -1);
  VoiceInfoMaybeChanged();
}

void Plugin::queueOut(int paramIdx, uint32_t bits) {
  if (paramIdx < 0 || paramIdx >= NParams()) return;
  std::atomic<uint32_t>& slot = pendingOut[static_cast<size_t>(paramIdx)];
  uint32_t old = slot.load(std::memory_order_acquire);
  for (;;) {
    uint32_t next = old | (bits & kOutValue);
    if (bits & kOutBegin) next = (next | kOutBegin) & ~kOutEndLast;  // a new gesture reopens what ended
    if (bits & kOutEnd) next |= (old & kOutBegin) ? kOutEndLast : kOutEndFirst;
    if (slot.compare_exchange_weak(old, next, std::memory_order_acq_rel, std::memory_order_acquire)) break;
  }
  requestOnMainThread(kRequestParamsFlush);
}

void Plugin::InformHostOfParamChange(int paramIdx) { queueOut(paramIdx, kOutValue); }

void Plugin::BeginInformHostOfParamChangeFromUI(int paramIdx) { queueOut(paramIdx, kOutBegin); }

void Plugin::SendParameterValueFromUI(int paramIdx, double normalizedValue) {
  Param* p = ParamOrNull(paramIdx);
  if (!p) return;
  p->SetNormalized(normalizedValue);
  OnParamChange(paramIdx, ParamSource::UI, -1);
  queueOut(paramIdx, kOutValue);
}

void Plugin::EndInformHostOfParamChangeFromUI(int paramIdx) { queueOut(paramIdx, kOutEnd); }

void Plugin::RescanParamValues() {
  if (InHostMainCall()) {
    if (hostParams && hostParams->rescan) hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES);
    return;
  }
  requestOnMainThread(kRequestParamsRescan);
}

void Plugin::MarkStateDirty() {
  if (InHostMainCall()) {
    if (hostState && hostState->mark_dirty) hostState->mark_dirty(host);
    return;
  }
  requestOnMainThread(kRequestMarkDirty);
}

void Plugin::drainOutEvents(const clap_output_events_t* out) {
  for (int i = 0; i < NParams(); ++i) {
    const uint32_t bits = pendingOut[static_cast<size_t>(i)].exchange(0, std::memory_order_acq_rel);
    if (!bits) continue;
    if (!out) continue;  // nobody to tell; the host re-reads values on its own
    clap_event_param_gesture_t gesture{};
    gesture.header.size = sizeof gesture;
    gesture.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
    gesture.param_id = static_cast<clap_id>(i);
    const bool begins = bits & kOutBegin;
    const auto pushGesture = [&](uint16_t type) {
      gesture.header.type = type;
      out->try_push(out, &gesture.header);
    };
    if (begins && (bits & kOutEndFirst)) pushGesture(CLAP_EVENT_PARAM_GESTURE_END);
    if (begins) pushGesture(CLAP_EVENT_PARAM_GESTURE_BEGIN);
    if (bits & kOutValue) {
      clap_event_param_value_t ev{};
      ev.header.size = sizeof ev;
      ev.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
      ev.header.type = CLAP_EVENT_PARAM_VALUE;
      ev.param_id = static_cast<clap_id>(i);
      ev.note_id = -1;
      ev.port_index = -1;
      ev.channel = -1;
      ev.key = -1;
      ev.value = params[static_cast<size_t>(i)].Value();
      out->try_push(out, &ev.header);
    }
    if (bits & (begins ? kOutEndLast : kOutEndFirst)) pushGesture(CLAP_EVENT_PARAM_GESTURE_END);
  }
}

void Plugin::StartIdleTimer() {
  idleTimer.Start([this] { OnIdle(); });
}

bool Plugin::IsMainThread() const {
  if (hostThreadCheck && hostThreadCheck->is_main_thread) return hostThreadCheck->is_main_thread(host);
  return std::this_thread::get_id() == mainThreadId;
}

bool Plugin::IsAudioThread() const {
  if (hostThreadCheck && hostThreadCheck->is_audio_thread) return hostThreadCheck->is_audio_thread(host);
  return !IsMainThread();
}

void Plugin::requestOnMainThread(uint32_t what) {
  mainRequests.fetch_or(what, std::memory_order_acq_rel);
  // request_callback is thread-safe; everything it leads to runs in on_main_thread (or at the host timer tick).
  if (host && host->request_callback) host->request_callback(host);
}

void Plugin::onMainThread() {
  const uint32_t what = mainRequests.exchange(0, std::memory_order_acq_rel);
  if ((what & kRequestParamsFlush) && hostParams && hostParams->request_flush) hostParams->request_flush(host);
  if ((what & kRequestParamsRescan) && hostParams && hostParams->rescan)
    hostParams->rescan(host, CLAP_PARAM_RESCAN_VALUES);
  if ((what & kRequestMarkDirty) && hostState && hostState->mark_dirty) hostState->mark_dirty(host);
  if ((what & kRequestVoiceInfo) && hostVoiceInfo && hostVoiceInfo->changed) hostVoiceInfo->changed(host);
  if ((what & kRequestGuiResize) && hostGui && hostGui->request_resize)
    hostGui->request_resize(host, static_cast<uint32_t>(GetEditorWidth()), static_cast<uint32_t>(GetEditorHeight()));
}

}  // namespace vfw
