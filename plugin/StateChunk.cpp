// The project state chunk: head with parameters and editor size, then tagged records to the end.
#include "Vorrel.h"

namespace {

constexpr int kValuesPos = 8;
constexpr int kMinEditorSide = 100;
constexpr int kMaxEditorSide = 8000;

int32_t sizeOrZero(int v) { return (v >= kMinEditorSide && v <= kMaxEditorSide) ? v : 0; }

bool tagAt(const vfw::ByteChunk& chunk, int pos) {
  uint32_t tag = 0;
  return chunk.GetU32(tag, pos) >= 0 && tag == Vorrel::kChunkTag;
}

// Every record tag starts with 'V'.
bool isRecordTag(uint32_t tag) { return (tag >> 24) == 0x56; }

}  // namespace

bool Vorrel::SerializeState(vfw::ByteChunk& chunk) const {
  chunk.PutU32(kChunkTag);
  chunk.PutU32(1);
  for (int i = 0; i < kNumParams; ++i) chunk.PutDouble(GetParam(i)->Value());
  chunk.PutU32(kChunkTag);
  chunk.PutI32(sizeOrZero(storedEditorWidth()));
  chunk.PutI32(sizeOrZero(storedEditorHeight()));
  return true;
}

int Vorrel::UnserializeState(const vfw::ByteChunk& chunk, int startPos) {
  if (NParams() == 0 || !chunk.Has(startPos, 8) || !tagAt(chunk, startPos)) return -1;

  // The parameter list ends at the tag or at the chunk's end, whichever comes first.
  double values[kNumParams];
  int count = 0;
  for (; count < kNumParams; ++count) {
    const int pos = startPos + kValuesPos + 8 * count;
    if (tagAt(chunk, pos) || chunk.GetDouble(values[count], pos) < 0) break;
  }
  if (count == 0) return -1;
  for (int j = 0; j < count; ++j) GetParam(j)->Set(values[j]);

  // A chunk written with more parameters has extra doubles before the tag.
  int pos = startPos + kValuesPos + 8 * count;
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

  // Records: known ones join with the track, frozen-copy and A/B records; others are skipped by length.
  if (hasSize) {
    while (chunk.Has(pos, 8)) {
      uint32_t tag = 0;
      uint32_t length = 0;
      chunk.GetU32(tag, pos);
      chunk.GetU32(length, pos + 4);
      if (!isRecordTag(tag) || length > static_cast<uint32_t>(INT32_MAX - 8) || !chunk.Has(pos + 8, length)) break;
      pos += 8 + static_cast<int>(length);
    }
  }

  OnParamReset(vfw::ParamSource::PresetRecall);
  if (width > 0 && height > 0) {
    storedEditorW.exchange(width, std::memory_order_acq_rel);
    storedEditorH.exchange(height, std::memory_order_acq_rel);
    SetEditorSize(width, height);
  }
  return pos;
}
