// CLAP's note dialect, voice info and output-bus activation, driven through the instance's own CLAP tables.
#include "DirectVorrel.h"

#include "ClapExtras.h"
#include "Params.h"

#include <algorithm>
#include <vector>

using vtest::DirectVorrel;

namespace {

int countVoices(const vorrel::dsp::VorrelEngine& e, bool heldOnly, bool twins = false) {
  int n = 0;
  for (int i = 0; i < vorrel::dsp::kVoiceSlots; ++i) {
    const vorrel::dsp::Voice& v = twins ? e.twin(i) : e.voice(i);
    n += v.active && (!heldOnly || v.held);
  }
  return n;
}

}  // namespace

TEST(NoteDialect, WildcardNoteOffChokeAndPressure) {
  DirectVorrel v(1);
  v.plug->StopIdleTimer();  // this test reads the engrave ring, whose one reader is OnIdle
  v.in.addNote(CLAP_EVENT_NOTE_ON, 0, 60, 0, 0.8);
  v.in.addNote(CLAP_EVENT_NOTE_ON, 0, 64, 3, 0.8);
  v.block();
  EXPECT_EQ(countVoices(v.engine(), true), 2);
  v.in.addNote(CLAP_EVENT_NOTE_OFF, 0, -1, -1, 0.0);  // every key on every channel
  v.block();
  EXPECT_EQ(countVoices(v.engine(), true), 0);
  v.in.addNote(CLAP_EVENT_NOTE_ON, 0, 67, 5, 0.8);
  v.block();
  v.in.addNote(CLAP_EVENT_NOTE_CHOKE, 0, 67, -1, 0.0);
  v.block();
  for (int i = 0; i < vorrel::dsp::kVoiceSlots; ++i)  // gone within the block, after a short fade
    EXPECT_FALSE(v.engine().voice(i).active && v.engine().voice(i).note == 67);

  // Per-note pressure feeds the pressure path: the held note's weight becomes the pressure-time integral.
  v.plug->setVelocityLengthMode(false);
  v.in.addNote(CLAP_EVENT_NOTE_ON, 0, 60, 2, 0.25);
  v.block();
  clap_event_note_expression_t ex{};
  ex.header = {sizeof ex, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_NOTE_EXPRESSION, 0};
  ex.expression_id = CLAP_NOTE_EXPRESSION_PRESSURE;
  ex.note_id = -1;
  ex.port_index = -1;
  ex.channel = -1;
  ex.key = -1;
  ex.value = 1.0;
  v.in.add(&ex.header);
  for (int b = 0; b < 10; ++b) v.block();
  v.in.addNote(CLAP_EVENT_NOTE_ON, 0, 62, 2, 0.25);
  v.block();
  vorrel::mem::InkEvent ink, next;
  while (v.plug->popInk(next)) ink = next;  // the last one: from 60 to 62
  EXPECT_EQ(ink.fromNote, 60);
  EXPECT_NEAR(ink.weight, 10 * 512 / 48000.0, 1e-9);
}

TEST(NoteDialect, NoteIdsAndThePortIndexAddressTheirOwnNotes) {
  DirectVorrel v(1);
  auto heldNotes = [&v] {
    std::vector<int> notes;
    for (int i = 0; i < vorrel::dsp::kVoiceSlots; ++i)
      if (v.engine().voice(i).active && v.engine().voice(i).held) notes.push_back(v.engine().voice(i).note);
    std::sort(notes.begin(), notes.end());
    return notes;
  };
  v.in.addNote(CLAP_EVENT_NOTE_ON, 0, 60, 0, 0.8, 1);
  v.in.addNote(CLAP_EVENT_NOTE_ON, 0, 64, 0, 0.8, 2);
  v.in.addNote(CLAP_EVENT_NOTE_ON, 0, 67, 0, 0.8, 3);
  v.in.addNote(CLAP_EVENT_NOTE_ON, 0, 67, 0, 0.8, 4);  // the same key under a second id
  v.block();
  ASSERT_EQ(heldNotes(), (std::vector<int>{60, 64, 67, 67}));
  v.in.addNote(CLAP_EVENT_NOTE_OFF, 0, -1, -1, 0.0, 1);  // by id alone
  v.in.addNote(CLAP_EVENT_NOTE_OFF, 0, -1, -1, 0.0, 3);  // id 4 still holds key 67
  v.in.addNote(CLAP_EVENT_NOTE_OFF, 0, -1, -1, 0.0, 9);  // an id nobody played
  v.in.addNote(CLAP_EVENT_NOTE_OFF, 0, 64, 0, 0.0, 1);   // id 1 was not on key 64
  v.block();
  EXPECT_EQ(heldNotes(), (std::vector<int>{64, 67, 67}));
  // A note on a port this instrument does not have is not heard; port -1 means any.
  clap_event_note_t on{};
  on.header = {sizeof on, 0, CLAP_CORE_EVENT_SPACE_ID, CLAP_EVENT_NOTE_ON, 0};
  on.note_id = 5;
  on.port_index = 1;
  on.channel = 0;
  on.key = 72;
  on.velocity = 0.8;
  v.in.add(&on.header);
  v.in.addNote(CLAP_EVENT_NOTE_OFF, 0, -1, -1, 0.0, 4);
  v.block();
  EXPECT_EQ(heldNotes(), (std::vector<int>{64}));
  on.port_index = -1;
  v.in.add(&on.header);
  v.block();
  EXPECT_EQ(heldNotes(), (std::vector<int>{64, 72}));
  // A note ended in plain MIDI no longer keeps its key for its id: the next id on that key ends it.
  v.midi(0x80, 72, 0);
  v.in.addNote(CLAP_EVENT_NOTE_ON, 0, 72, 0, 0.8, 6);
  v.block();
  v.in.addNote(CLAP_EVENT_NOTE_OFF, 0, -1, -1, 0.0, 6);
  v.block();
  EXPECT_EQ(heldNotes(), (std::vector<int>{64}));
}

TEST(NoteDialect, VoiceInfoFollowsTheVoicesParameter) {
  DirectVorrel v(1);
  const auto* ext = static_cast<const clap_plugin_voice_info_t*>(v.clap->get_extension(v.clap, CLAP_EXT_VOICE_INFO));
  ASSERT_NE(ext, nullptr);
  clap_voice_info_t info{};
  ASSERT_TRUE(ext->get(v.clap, &info));
  EXPECT_EQ(info.voice_count, 8u);
  EXPECT_EQ(info.voice_capacity, 16u);
  v.in.addParam(0, kVoices, 3.0);
  v.block();
  ASSERT_TRUE(ext->get(v.clap, &info));
  EXPECT_EQ(info.voice_count, 3u);
  v.host.pump(v.clap);
  EXPECT_EQ(v.host.countCalls("voice_info.changed"), 1);
  // From the plug-in's own panel, and by a preset recalled there: the host hears of it just the same.
  v.plug->SendParameterValueFromUI(kVoices, 0.0);
  v.host.pump(v.clap);
  ASSERT_TRUE(ext->get(v.clap, &info));
  EXPECT_EQ(info.voice_count, 1u);
  EXPECT_EQ(v.host.countCalls("voice_info.changed"), 2);
  v.plug->SendParameterValueFromUI(kVoices, 0.0);  // no change, no call
  v.host.pump(v.clap);
  EXPECT_EQ(v.host.countCalls("voice_info.changed"), 2);
}

TEST(NoteDialect, SwitchedOffBusesRunNoTwinsAndMissingBuffersKeepThem) {
  DirectVorrel v(3);
  const auto* act = static_cast<const clap_plugin_audio_ports_activation_t*>(
      v.clap->get_extension(v.clap, CLAP_EXT_AUDIO_PORTS_ACTIVATION));
  ASSERT_NE(act, nullptr);
  EXPECT_FALSE(act->set_active(v.clap, true, 0, false, 64));
  EXPECT_FALSE(act->set_active(v.clap, false, 3, false, 64));
  // A host that hands no extra buffers for one block: the sounding note keeps its twin.
  v.midi(0x90, 60, 100);
  v.block();
  ASSERT_EQ(countVoices(v.engine(), false, true), 1);
  clap_process_t pr{};
  pr.frames_count = 512;
  pr.audio_outputs = v.buffers.ports();
  pr.audio_outputs_count = 1;
  pr.in_events = v.in.list();
  pr.out_events = v.out.list();
  v.clap->process(v.clap, &pr);
  EXPECT_EQ(countVoices(v.engine(), false, true), 1);
  // Both extra buses switched off: no twin work; on again, the next notes get twins.
  ASSERT_TRUE(act->set_active(v.clap, false, 1, false, 64));
  ASSERT_TRUE(act->set_active(v.clap, false, 2, false, 64));
  v.midi(0x90, 64, 100);
  v.block();
  EXPECT_FALSE(v.engine().isBareEnabled());
  EXPECT_EQ(countVoices(v.engine(), false, true), 0);
  EXPECT_EQ(v.rms(1, 0), 0.0);
  ASSERT_TRUE(act->set_active(v.clap, false, 2, true, 64));
  v.midi(0x90, 67, 100);
  v.block();
  EXPECT_EQ(countVoices(v.engine(), false, true), 1);
}
