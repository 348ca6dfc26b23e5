#pragma once
// An exclusive lock on a file, held for as long as the object lives (and
// given up by the system when the process ends, however it ends). A second
// holder is refused at once rather than made to wait: two runs writing one
// dump folder would interleave their chunks.

#include <cstdint>
#include <string>

#include "platform/system_result.h"

namespace fjl::platform {

class FileLock {
 public:
  FileLock() = default;
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock of `path`, making the file if it is missing. On failure
  // Busy() tells whether another holder has it.
  SystemResult Acquire(const std::string& path);
  bool Busy() const { return busy_; }

 private:
  std::intptr_t handle_ = -1;
  bool busy_ = false;
};

}  // namespace fjl::platform
