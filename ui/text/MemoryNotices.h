// The memory line's warnings: a refused backup that dropped a clear or load, and a memory that is not being saved.
#pragma once

#include "Lang.h"

namespace vrui {

enum MemoryNotice : int {
  kNoticeNone = 0,
  kNoticeBackupRefused = 1,  // a clear, load or shipped memory was dropped: its backup could not be written
  kNoticeNotAFile = 2,       // memory.bin is a FIFO, device or folder: nothing is saved
  kNoticeBadLink = 3,        // memory.bin is a link that leads nowhere (dangling or a loop)
  kNoticeNotWritten = 4,     // the disk refuses the write (full, read-only, no permission)
  kNumMemoryNotices = 5,
};

extern const char* const kMemoryNotices[kNumLangs][kNumMemoryNotices];

// The notice in that language (English for an unknown language); "" for kNoticeNone or an unknown notice.
const char* memoryNoticeText(Lang lang, int notice);

}  // namespace vrui
