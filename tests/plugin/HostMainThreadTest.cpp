// Host calls reserved for the main thread, with hosts whose request_callback never calls back and whose thread
// check calls every thread "main": they are made only inside the host's own main-thread calls or timer ticks.
#include "DirectVorrel.h"

#include <algorithm>
#include <cstring>
#include <thread>

using vtest::DirectVorrel;

TEST(HostMainThread, DeferredWorkRidesTheHostTimerAndNeverLeavesTheMainThread) {
  for (bool timer : {false, true}) {
    SCOPED_TRACE(timer ? "with timer-support" : "without timer-support");
    vhost::HostQuirks quirks;
    quirks.silentCallback = true;
    quirks.mainEverywhere = true;
    quirks.offerTimer = timer;
    DirectVorrel v(1, 48000.0, 512, quirks);
    Vorrel& p = *v.plug;
    EXPECT_EQ(v.host.timersRegistered(), timer ? 1 : 0);
    v.host.clearCalls();

    // The resize grip and a track name, from an editor thread.
    std::thread editor([&p] {
      EXPECT_TRUE(p.requestEditorResize(1200, 0));
      p.uiSetTrackName("Grip");
    });
    editor.join();
    v.host.pump(v.clap);  // the callback never comes
    EXPECT_TRUE(v.host.calls().empty());

    EXPECT_EQ(v.host.tickTimers(v.clap), timer);
    EXPECT_EQ(v.host.countCalls("gui.request_resize"), timer ? 1 : 0);
    EXPECT_EQ(v.host.countCalls("state.mark_dirty"), timer ? 1 : 0);
    EXPECT_EQ(v.host.guiRequestedW.load(), timer ? 1200u : 0u);
    v.host.tickTimers(v.clap);  // taken once: the next tick finds nothing
    EXPECT_EQ(v.host.countCalls("state.mark_dirty"), timer ? 1 : 0);

    // Inside a host call on its main thread the work is done at once.
    const auto* state = static_cast<const clap_plugin_state_t*>(v.clap->get_extension(v.clap, CLAP_EXT_STATE));
    vfw::ByteChunk chunk;
    ASSERT_TRUE(p.SerializeState(chunk));
    struct Reader {
      const vfw::ByteChunk* c;
      size_t pos = 0;
    } reader{&chunk};
    clap_istream_t in{&reader, [](const clap_istream_t* s, void* buf, uint64_t size) -> int64_t {
                        auto* r = static_cast<Reader*>(s->ctx);
                        const uint64_t n = std::min<uint64_t>(size, r->c->Size() - r->pos);
                        std::memcpy(buf, r->c->Data() + r->pos, n);
                        r->pos += n;
                        return static_cast<int64_t>(n);
                      }};
    ASSERT_TRUE(state->load(v.clap, &in));
    EXPECT_EQ(v.host.countCalls("params.rescan " + std::to_string(CLAP_PARAM_RESCAN_VALUES)), 1);

    for (const auto& id : v.host.mainCallThreads()) EXPECT_EQ(id, v.host.mainThreadId());
    EXPECT_EQ(v.host.misbehaviours.load(), 0);
  }
}
