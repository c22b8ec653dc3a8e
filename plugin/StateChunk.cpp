// The project state chunk: head with parameters and editor size, then the frozen-copy, track and A/B records.
#include "Vorrel.h"

#include "MemoryFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kValuesPos = 8;
constexpr int kMinEditorSide = 100;
constexpr int kMaxEditorSide = 8000;

constexpr uint32_t kSealTag = 0x56534541;   // "VSEA"
constexpr uint32_t kTrackTag = 0x564C4E4B;  // "VLNK"
constexpr uint32_t kSlotsTag = 0x56414253;  // "VABS"
constexpr uint32_t kTrackLength = 152;
constexpr uint32_t kSlotsLength = 732;
constexpr int kSlotValueRoom = 40;  // values a slot record has room for; 29 are used
constexpr size_t kPresetField = 64;
constexpr size_t kTrackField = 48;

int32_t sizeOrZero(int v) { return (v >= kMinEditorSide && v <= kMaxEditorSide) ? v : 0; }

bool tagAt(const vfw::ByteChunk& chunk, int pos) {
  uint32_t tag = 0;
  return chunk.GetU32(tag, pos) >= 0 && tag == Vorrel::kChunkTag;
}

// Every record tag starts with 'V'.
bool isRecordTag(uint32_t tag) { return (tag >> 24) == 0x56; }

// Longest parameter list searched for by structure: room for chunks of later versions with more parameters.
constexpr int kMaxListByStructure = kNumParams + 64;

// Whether the tag at tagPos, the editor size behind it and a chain of whole records fill the chunk exactly: how a
// parameter list that ends at tagPos looks. A value or a name that merely holds the tag's bytes leaves a tail
// that does not fit.
bool fitsLayout(const vfw::ByteChunk& chunk, int tagPos) {
  if (!tagAt(chunk, tagPos) || !chunk.Has(tagPos + 4, 8)) return false;
  int pos = tagPos + 12;
  while (chunk.Has(pos, 8)) {
    uint32_t tag = 0;
    uint32_t length = 0;
    chunk.GetU32(tag, pos);
    chunk.GetU32(length, pos + 4);
    if (!isRecordTag(tag) || !chunk.Has(pos + 8, length)) return false;
    pos += 8 + static_cast<int>(length);
  }
  return static_cast<size_t>(pos) == chunk.Size();
}

// Where the parameter list ends, counted in values (the second tag follows it when there is one): this program's
// 29 when the layout fits there, else the shortest list whose layout fits; when none fits (a damaged tail), this
// program's 29 when the tag is there, else the first tag or the end of the chunk.
int listLength(const vfw::ByteChunk& chunk, int start) {
  const auto tagPosOf = [&](int n) { return start + kValuesPos + 8 * n; };
  if (fitsLayout(chunk, tagPosOf(kNumParams))) return kNumParams;
  for (int n = 1; n <= kMaxListByStructure && chunk.Has(tagPosOf(n), 4); ++n)
    if (fitsLayout(chunk, tagPosOf(n))) return n;
  if (tagAt(chunk, tagPosOf(kNumParams))) return kNumParams;
  int n = 0;
  while (chunk.Has(tagPosOf(n), 8) && !tagAt(chunk, tagPosOf(n))) ++n;
  return n;
}

void putField(vfw::ByteChunk& chunk, const std::string& text, size_t field) {
  char buf[kPresetField] = {};
  std::snprintf(buf, field, "%s", text.c_str());  // cut to field - 1 characters, zero-filled
  chunk.PutBytes(buf, field);
}

std::string getField(const uint8_t* p, size_t field) {
  const char* s = reinterpret_cast<const char*>(p);
  return std::string(s, strnlen(s, field - 1));
}

double doubleAt(const uint8_t* p) {
  double v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

uint32_t u32At(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

struct Record {
  const uint8_t* payload = nullptr;
  uint32_t length = 0;
};

struct TrackRecord {
  std::string presetName = "Init";
  std::string trackName;
  bool programChange = true;
  bool velocityLength = true;
  vorrel::TrackExtraValues extras = vorrel::kDefaultExtras;
};

// Anything but a version 1 record of its length leaves the defaults; inside one, a value that is not finite
// takes its own default and the rest of the record still counts.
void readExtras(const uint8_t* p, vorrel::TrackExtraValues& out) {
  for (size_t i = 0; i < out.size(); ++i) {
    const double v = doubleAt(p + 8 * i);
    out[i] = std::isfinite(v) ? v : vorrel::kDefaultExtras[i];
  }
  vorrel::clampTrackExtras(out);
}

TrackRecord readTrack(const Record& r) {
  TrackRecord t;
  if (!r.payload || r.length != kTrackLength || u32At(r.payload) != 1) return t;
  readExtras(r.payload + 120, t.extras);
  t.presetName = getField(r.payload + 4, kPresetField);
  t.trackName = getField(r.payload + 68, kTrackField);
  t.programChange = r.payload[116] != 0;
  t.velocityLength = r.payload[117] == 0;  // 0 velocity x length, 1 MPE pressure; older chunks hold 0
  return t;
}

// Both slots empty and A active unless the record is well-formed; a slot value that is not finite takes the
// parameter's default (defaults holds one per parameter), an extra its own default.
bool readSlots(const Record& r, const double* defaults, Vorrel::AbHalf (&slots)[2], int32_t& active) {
  slots[0] = Vorrel::AbHalf{};
  slots[1] = Vorrel::AbHalf{};
  active = 0;
  if (!r.payload || r.length != kSlotsLength || u32At(r.payload) != 1) return false;
  const int32_t count = static_cast<int32_t>(u32At(r.payload + 8));
  const int n = count > 0 ? std::min<int32_t>(count, kNumParams) : 0;
  Vorrel::AbHalf read[2];  // fresh: every value 0, no memory settings
  for (int s = 0; s < 2; ++s) {
    const uint8_t* p = r.payload + 12 + 360 * s;
    for (int i = 0; i < n; ++i) {
      const double v = doubleAt(p + 8 + 8 * i);
      read[s].values[i] = std::isfinite(v) ? v : defaults[i];
    }
    readExtras(p + 8 + 8 * kSlotValueRoom, read[s].extras);
    read[s].valid = p[0] != 0;
  }
  slots[0] = read[0];
  slots[1] = read[1];
  active = r.payload[4] != 0 ? 1 : 0;  // any other byte would index past the two slots
  return true;
}

// The frozen copy by the memory format's rules, refused when a weight or a map cell is not finite.
vorrel::mem::SealedMemory readSeal(const Record& r) {
  vorrel::mem::SealedMemory s{};
  if (!r.payload || !vorrel::memfmt::decodeSealed(r.payload, r.length, s)) return {};
  for (double& w : s.modeWeights) {
    if (!std::isfinite(w)) return {};
    w = std::clamp(w, 0.0, vorrel::mem::kMaxWeight);
  }
  for (auto& row : s.cart.ink)
    for (float& v : row) {
      if (!std::isfinite(v)) return {};
      v = std::clamp(v, 0.0f, static_cast<float>(vorrel::mem::kMaxWeight));
    }
  return s;
}

}  // namespace

bool Vorrel::SerializeState(vfw::ByteChunk& chunk) const {
  chunk.PutU32(kChunkTag);
  chunk.PutU32(1);
  for (int i = 0; i < kNumParams; ++i) chunk.PutDouble(GetParam(i)->Value());
  chunk.PutU32(kChunkTag);
  chunk.PutI32(sizeOrZero(storedEditorWidth()));
  chunk.PutI32(sizeOrZero(storedEditorHeight()));

  std::string preset;
  std::string track;
  bool programChange = true;
  AbHalf slots[2];
  int32_t active = 0;
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    if (sealed.present) {
      const std::vector<uint8_t> payload = vorrel::memfmt::encodeSealed(sealed);
      chunk.PutU32(kSealTag);
      chunk.PutU32(static_cast<uint32_t>(payload.size()));
      chunk.PutBytes(payload.data(), payload.size());
    }
    preset = presetName;
    track = trackName;
    programChange = programChangeEnabled;
    slots[0] = abSlots[0];
    slots[1] = abSlots[1];
    active = activeAbSlot;
  }

  vorrel::TrackExtraValues e;
  readTrackExtras(e);
  chunk.PutU32(kTrackTag);
  chunk.PutU32(kTrackLength);
  chunk.PutU32(1);
  putField(chunk, preset, kPresetField);
  putField(chunk, track, kTrackField);
  chunk.PutU8(programChange ? 1 : 0);
  chunk.PutU8(velocityLengthMode.load(std::memory_order_acquire) ? 0 : 1);
  chunk.PutZeros(2);
  for (double v : e) chunk.PutDouble(v);

  chunk.PutU32(kSlotsTag);
  chunk.PutU32(kSlotsLength);
  chunk.PutU32(1);
  chunk.PutU8(active != 0 ? 1 : 0);
  chunk.PutZeros(3);
  chunk.PutI32(kNumParams);
  for (const AbHalf& slot : slots) {
    chunk.PutU8(slot.valid ? 1 : 0);
    chunk.PutZeros(7);
    for (int i = 0; i < kNumParams; ++i) chunk.PutDouble(slot.values[i]);
    chunk.PutZeros(8 * (kSlotValueRoom - kNumParams));
    for (double v : slot.extras) chunk.PutDouble(v);
  }
  return true;
}

int Vorrel::UnserializeState(const vfw::ByteChunk& chunk, int startPos) {
  if (NParams() == 0 || !chunk.Has(startPos, 8) || !tagAt(chunk, startPos)) return -1;

  // The list is found by the layout, not by the first bytes that spell the tag: a value's low bytes or a preset
  // name may hold them.
  const int listed = listLength(chunk, startPos);
  const int count = std::min<int>(listed, kNumParams);
  if (count == 0) return -1;
  double values[kNumParams];
  for (int i = 0; i < count; ++i) chunk.GetDouble(values[i], startPos + kValuesPos + 8 * i);

  // A chunk written with more parameters has extra doubles before the tag, which is where the list ends.
  int pos = startPos + kValuesPos + 8 * listed;
  int32_t width = 0;
  int32_t height = 0;
  bool hasSize = false;
  while (chunk.Has(pos, 4)) {
    if (tagAt(chunk, pos)) {
      if (chunk.Has(pos + 4, 8)) {
        chunk.GetI32(width, pos + 4);
        chunk.GetI32(height, pos + 8);
        hasSize = true;
        pos += 12;
      }
      break;
    }
    pos += 8;
  }
  if (!hasSize) pos = startPos + kValuesPos + 8 * count;
  if (width < kMinEditorSide || width > kMaxEditorSide || height < kMinEditorSide || height > kMaxEditorSide) {
    width = 0;
    height = 0;
  }

  // Records: the last of each known kind wins; other record tags are skipped by their length.
  Record seal;
  Record track;
  Record slots;
  if (hasSize) {
    while (chunk.Has(pos, 8)) {
      uint32_t tag = 0;
      uint32_t length = 0;
      chunk.GetU32(tag, pos);
      chunk.GetU32(length, pos + 4);
      if (!isRecordTag(tag) || !chunk.Has(pos + 8, length)) break;
      const Record r{chunk.Data() + pos + 8, length};
      if (tag == kSealTag) seal = r;
      if (tag == kTrackTag) track = r;
      if (tag == kSlotsTag) slots = r;
      pos += 8 + static_cast<int>(length);
    }
  }

  writeParamValues(values, count);
  OnParamReset(vfw::ParamSource::PresetRecall);
  if (width > 0 && height > 0) {
    storedEditorW.exchange(width, std::memory_order_acq_rel);
    storedEditorH.exchange(height, std::memory_order_acq_rel);
    SetEditorSize(width, height);
  }

  const vorrel::mem::SealedMemory frozen = readSeal(seal);
  const TrackRecord t = readTrack(track);
  AbHalf ab[2];
  int32_t active = 0;
  double defaults[kNumParams];
  for (int i = 0; i < kNumParams; ++i) defaults[i] = GetParam(i)->GetDefault();
  readSlots(slots, defaults, ab, active);
  {
    std::lock_guard<std::mutex> lock(instanceMutex);
    storeSealedLocked(frozen);  // odd generation meanwhile: the audio thread leaves the copy alone
    presetName = t.presetName;
    trackName = t.trackName;
    programChangeEnabled = t.programChange;
    abSlots[0] = ab[0];
    abSlots[1] = ab[1];
    activeAbSlot = active;
  }
  velocityLengthMode.store(t.velocityLength, std::memory_order_release);
  setTrackExtras(t.extras[0], t.extras[1], t.extras[2], t.extras[3]);
  traceGeneration.fetch_add(2, std::memory_order_acq_rel);
  clearHistory();  // a loaded project starts a fresh history: undo must not bring back the sound before it
  RescanParamValues();  // hosts that cache values would otherwise keep showing the old ones
  return pos;
}
