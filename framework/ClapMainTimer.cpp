// The host's timer-support: a main-thread tick that also carries deferred work, for hosts whose
// request_callback never calls back.
#include "ClapAdapter.h"
#include "Plugin.h"

namespace vfw {
namespace {

// About 30 ticks a second: the rate CLAP says every host allows; a tick with nothing waiting costs one atomic load.
constexpr uint32_t kMainTimerMs = 33;

}  // namespace

void Plugin::startMainTimer() {
  if (!host || !host->get_extension || mainTimerId != CLAP_INVALID_ID) return;
  hostTimer = static_cast<const clap_host_timer_support_t*>(host->get_extension(host, CLAP_EXT_TIMER_SUPPORT));
  if (!hostTimer || !hostTimer->register_timer) return;
  clap_id id = CLAP_INVALID_ID;
  if (hostTimer->register_timer(host, kMainTimerMs, &id)) mainTimerId = id;
}

void Plugin::stopMainTimer() {
  if (mainTimerId == CLAP_INVALID_ID) return;
  if (hostTimer && hostTimer->unregister_timer) hostTimer->unregister_timer(host, mainTimerId);
  mainTimerId = CLAP_INVALID_ID;
}

void Plugin::onMainTimer(clap_id timerId) {
  if (timerId != mainTimerId || mainTimerId == CLAP_INVALID_ID) return;
  // Whichever comes first, callback or tick, takes the requests; the other finds nothing left.
  if (mainRequests.load(std::memory_order_acquire) != 0) onMainThread();
}

struct ClapMainCalls {
  static void onTimer(const clap_plugin_t* p, clap_id timerId) {
    Plugin* plug = static_cast<Plugin*>(p->plugin_data);
    const Plugin::HostMainCall scope(plug);
    plug->onMainTimer(timerId);
  }
};

const void* ClapAdapter::timerExtension() {
  static const clap_plugin_timer_support_t timer{ClapMainCalls::onTimer};
  return &timer;
}

}  // namespace vfw
