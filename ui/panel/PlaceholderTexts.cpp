// English placeholder texts of the panel until the translated tables are linked in; replace this file whole.
#include "PanelTexts.h"

namespace vrui {
namespace {

const char* const kCodes[kNumLangs] = {"EN", "FR", "DE", "ES", "IT", "PT"};
const char* const kNames[kNumLangs] = {"English",
                                       "Fran\xC3\xA7"
                                       "ais",
                                       "Deutsch",
                                       "Espa\xC3\xB1"
                                       "ol",
                                       "Italiano",
                                       "Portugu\xC3\xAA"
                                       "s"};
const char* const kLabels[kNumPanelParams] = {
    "Imprint", "Bare",  "Carve",   "Source",    "Body",     "Exciter",   "Decay",   "Damper",   "Inharm",  "Sympathy",
    "Attack",  "Decay", "Sustain", "Release",   "Cutoff",   "Resonance", "Env amt", "LFO rate", "LFO amt", "Glide",
    "Voices",  "Delay", "Dly mix", "Verb size", "Verb mix", "Level",     "Quality", "Forget",   "Engrave"};
const char* const kStories[kNumPanelParams] = {
    "How much the memory colours this track. 0 = the plain instrument, 100 = fully carved. Reads the memory, never "
    "writes it.",
    "How much of the tone is left for the memory to add. 0 = full tone at once, 100 = almost a sine until you have "
    "played.",
    "0 = the memory only adds to the sound. 100 = it also removes what you never play, so this track specialises.",
    "Which memory this track reads: the machine's living one, or the snapshot saved in this project. Blend between "
    "them.",
    "The resonator: string, bell, glass... Each rings with its own overtones and takes the memory differently.",
    "What strikes or bows the body. Saw and Square replace the noise with an oscillator.",
    "How long the body rings after each strike, in seconds. Long values turn any exciter into a drone.",
    "How quickly a released note is silenced. 0 = it rings out on its own, like an undamped string.",
    "From in tune to metallic: spreads the overtones and adds drive. A little thickens, a lot clangs.",
    "The strings that answer your playing, tuned to the intervals you carved. Play fifths for a while: the fifth "
    "starts answering.",
    "How fast the exciter comes on.",
    "How fast the exciter settles to its held level.",
    "How hard the exciter keeps pushing while the key is held. Everything on Bow and Breath, almost nothing on Mallet.",
    "How fast the exciter stops when you let go. The ring that follows is Decay; Damper cuts it.",
    "Where the low-pass filter starts to darken the sound. Follows the keyboard halfway.",
    "Emphasis at the cutoff. High values growl; above about 130 the filter sings on its own.",
    "How far the cutoff opens on each note before closing again, in octaves. This is where the pluck comes from.",
    "How fast the cutoff wobbles. 0 = off.",
    "How far the LFO moves the cutoff. Needs a rate above 0.",
    "Portamento: how long a note takes to slide to the next pitch.",
    "How many notes can sound at once. Past that, the oldest tail is stolen first.",
    "Delay time.",
    "Delay level.",
    "Reverb size.",
    "Reverb level.",
    "Output level.",
    "Oversampling of the filter. x4 and x8 sound cleaner at high resonance, cost CPU, add no latency.",
    "How many days of silence it takes to forget what you played. Counts even while your DAW is closed. There is no "
    "off.",
    "How deeply playing writes into the memory. With MPE, pressing harder writes deeper."};
const char* const kHintsEn[kNumHintSlots] = {
    "The memory: one sector per note, the lines across are the intervals you played. Click a sector to see what it "
    "does to the sound.",
    "Hold two notes: the interval between them is what gets remembered. Click higher on a key to press harder.",
    "Keep a copy of the MEMORY inside this project - not the knobs. The live memory goes on changing; this copy never "
    "moves again.",
    "Erase the machine's memory. If you had played on it, a backup lands in Your memories first. Asks twice.",
    "Click again to erase. What you played is backed up first, into Your memories; settings stay.",
    "Hold to hear the instrument with no memory at all.",
    "What counts as pressing on a note: how hard and how long you hold the key, or your MPE controller's pressure.",
    "Load a memory: one someone else carved, or one of yours. The current one is backed up first.",
    "Load this memory - it REPLACES the one every instance shares. The current one is backed up first, into Your "
    "memories.",
    "Load this memory - every instance plays it. The current one is backed up first.",
    "Delete this saved memory. Asks twice; the live memory is untouched.",
    "Click again to delete this memory file. The machine's live memory is untouched.",
    "Save the current memory under a name, to load back later in any project.",
    "Make the instrument remember and forget faster, to try things out. x1 is real time.",
    "Two slots for this track's sound and the memory settings. Leaving a slot keeps what you leave.",
    "Undo (Ctrl+Z) - every knob and setting. What you played is not undone: the memory is history, not a setting.",
    "Redo (Ctrl+Shift+Z).",
    "A preset is this track's sound only. The memory is shared by every instance and never travels in a preset.",
    "Let MIDI Program Change pick presets by number. Never a memory: that would replace what every instance shares.",
    "Categories filter the list. Program Change numbers never move.",
    "Save this track's sound under a name. It lands in Yours, available to every instance on this machine.",
    "Rename this preset. Projects and Program Change follow the new name.",
    "Delete this preset. Asks twice.",
    "Click again to delete. Deleting never changes the sound.",
    "The track name comes from the DAW. Rewrite it, or empty it to get the DAW name back.",
    "",
    "Drag to resize - 70 to 320 %. The size is yours: it survives reopening and travels with the project.",
    "This host resizes the window itself - the grip stays quiet here.",
    "Which object rings: string, bell, plate... Each has its own overtones, and takes the memory at its own measured "
    "dose, so 62 % means the same thing on every body.",
    "Nothing carved yet. Vorrel plays what it receives - a keyboard, or a MIDI clip on this track - and every interval "
    "you play wears its sound a little more.",
    "Imprint and Sympathy are at 0: this track plays the plain instrument. Turn either up to hear what you carved.",
    "The memory colours the tone, but nothing answers your melody yet. Turn Sympathy up to hear the carved intervals "
    "ring.",
    "Language of these hints. Click to change - the choice is kept for every instance on this machine.",
    "Hold two notes - ",
    "the interval is what gets carved",
    " \xC2\xB7"
    " higher on the key = harder \xC2\xB7"
    " ",
    "drag while holding to lean on it",
    "Hold two notes on the keyboard - the interval between them is what gets carved.",
    "First time here: the memory lives in real time - it wears in over days, like a real instrument. Set Speed to x100 "
    "at the top to hear it now.",
    "Previous and next preset, without opening the list. Same order as Program Change; your own come after the 85.",
    "This host blocks the machine memory: nothing is being carved or shared. The instrument still plays, and the "
    "project snapshot still works.",
    "Take the tour again: a card moves beside each control and says, in a line, what it is for.",
    "Nothing will move until the other half is up: LFO rate and LFO amt only work together."};
const TourTarget kTargets[kNumTourSteps] = {
    {Ctrl::Key, -1},          {Ctrl::Wheel, -1},        {Ctrl::Param, 9},           {Ctrl::Param, 0},
    {Ctrl::Speed, -1},        {Ctrl::BypassMemory, -1}, {Ctrl::MemoryMenu, -1},     {Ctrl::PresetMenu, -1},
    {Ctrl::Param, 27},        {Ctrl::Param, 28},        {Ctrl::PressureSource, -1}, {Ctrl::Param, 3},
    {Ctrl::FreezeMemory, -1}, {Ctrl::ClearMemory, -1},  {Ctrl::BodyMenu, -1},       {Ctrl::Param, 5},
    {Ctrl::Param, 2},         {Ctrl::Language, -1}};
const char* const kTitles[kNumTourSteps] = {"Play something",
                                            "What you played, engraved",
                                            "The strings that answer",
                                            "How much this track reads it",
                                            "It lives in real time",
                                            "Hear the difference",
                                            "One memory per machine",
                                            "A preset is only the sound",
                                            "Forgetting",
                                            "How deep you write",
                                            "What counts as pressing",
                                            "Machine, or project",
                                            "Freeze it",
                                            "Start again",
                                            "Which object rings",
                                            "What sets it in motion",
                                            "Carving away",
                                            "Everything explains itself"};
const char* const kBodies[kNumTourSteps] = {
    "Vorrel plays what it receives: this keyboard, or a MIDI clip on this track. It never invents a note of its own.",
    "One sector per note. The lines across are the intervals between the notes you held. This circle is the memory.",
    "Sympathy tunes them to the intervals you carved. Play fifths for a while and the fifth starts answering on its "
    "own.",
    "At Imprint 0 you hear the plain instrument. Turn it up and the memory colours the sound.",
    "The memory wears in over days, like a real instrument. Set Speed to x100 to hear a day of playing in a minute.",
    "Hold Bypass memory: the instrument with no memory at all. Let go and yours comes back.",
    "Every instance of Vorrel shares this one, and it survives the session. It is not a preset.",
    "The knobs of this track, nothing else. The memory never travels inside a preset.",
    "Forget sets how many days of silence it takes to lose what you played. It counts even while your DAW is closed.",
    "Engrave sets how deeply playing carves. With an MPE controller, pressing harder writes deeper.",
    "How hard and how long you hold a key, or the pressure your MPE controller sends.",
    "Which memory this track reads: the living one of the machine, or the snapshot kept in this project. Drag it "
    "sideways.",
    "Freeze memory here keeps a copy of the MEMORY in the project - not the knobs, which is what a preset is for. That "
    "copy never changes again.",
    "Clear memory erases what the machine remembers. What you played is backed up first, and it asks twice.",
    "String, bell, plate... Each has its own overtones, and each takes the memory its own way.",
    "Breath, mallet, bow, grain. Saw and Square replace the noise with an oscillator.",
    "Turn Carve up and the memory also removes what you never play. This track ends up specialised.",
    "Hover anything and the bar underneath says what it does. This chip changes the language of those lines."};
const char* const kButtons[6] = {"Skip", "Take the tour", "Previous", "Next", "See everything", "Done"};
const char* const kWelcome[4] = {
    "An instrument that remembers what you play.", "Not the notes: the intervals between them.",
    "What it does to the sound: the intervals you play most grow louder inside the tone, and strings tuned to them "
    "start answering on their own. What you stop playing fades out of it.",
    "One memory per machine, shared by every instance, kept between sessions."};

bool inLang(int lang) { return lang >= 0 && lang < kNumLangs; }

}  // namespace

const char* langCode(int lang) { return kCodes[inLang(lang) ? lang : 0]; }
const char* langName(int lang) { return kNames[inLang(lang) ? lang : 0]; }
const char* paramLabel(int id) { return id >= 0 && id < kNumPanelParams ? kLabels[id] : ""; }
const char* paramStory(int, int id) { return id >= 0 && id < kNumPanelParams ? kStories[id] : ""; }
const char* hintSlot(int, int slot) { return slot >= 0 && slot < kNumHintSlots ? kHintsEn[slot] : ""; }
TourTarget tourTarget(int step) { return step >= 0 && step < kNumTourSteps ? kTargets[step] : TourTarget{}; }
const char* tourTitle(int, int step) { return step >= 0 && step < kNumTourSteps ? kTitles[step] : ""; }
const char* tourBody(int, int step) { return step >= 0 && step < kNumTourSteps ? kBodies[step] : ""; }
const char* tourButton(int, int slot) { return slot >= 0 && slot < 6 ? kButtons[slot] : ""; }
const char* welcomeTitle(int) { return "Vorrel"; }
const char* welcomeLine(int, int line) { return line >= 0 && line < 4 ? kWelcome[line] : ""; }

}  // namespace vrui
