// Why this user's memory segment could not be opened, as the editor names it.
#pragma once

#include <cerrno>
#include <cstdint>

namespace vorrel::mem {

// Stored as its number in the panel state: keep the values.
enum class OpenFault : uint8_t {
  None = 0,     // open, or failed for a reason with no name of its own (busy lock, 64 instances, newer build)
  Refused = 1,  // the system refused access to /dev/shm or the object (permissions, a read-only mount)
  Foreign = 2,  // an object of that name belongs to another account, is readable by others, or is not ours
  NoSpace = 3,  // /dev/shm is full
  Missing = 4,  // there is no /dev/shm (or no shared memory at all) on this system
};
constexpr int kNumOpenFaults = 5;

// The fault a failed shm_open, ftruncate, fallocate or mmap leaves in errno.
inline OpenFault faultOfErrno(int err) {
  switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
      return OpenFault::Refused;
    case ENOSPC:
    case ENOMEM:
    case EDQUOT:
    case EFBIG:
      return OpenFault::NoSpace;
    case ENOENT:
    case ENOTDIR:
    case ENOSYS:
      return OpenFault::Missing;
    default:
      return OpenFault::None;
  }
}

}  // namespace vorrel::mem
