#pragma once
// Writing at the end of a file: in one go (open, write, close), or through a
// file kept open while a download grows it.

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "platform/system_result.h"

namespace fjl::platform {

// Appends all of `bytes` to `path`. The system's error of the first step
// that failed, so a full disk is told apart from a file that will not open.
SystemResult AppendToFile(const std::filesystem::path& path, std::string_view bytes);

// A file open for writing at its end. It keeps no buffer of its own: what
// Write() took is the system's, so a crash or a kill of the program keeps it.
class AppendingFile {
 public:
  enum class Opening : std::uint8_t {
    Keep,   // what the file holds stays; it is made when missing
    Empty,  // the file is emptied first, or made
  };

  AppendingFile() = default;
  ~AppendingFile();
  AppendingFile(AppendingFile&& other) noexcept;
  AppendingFile& operator=(AppendingFile&& other) noexcept;
  AppendingFile(const AppendingFile&) = delete;
  AppendingFile& operator=(const AppendingFile&) = delete;

  // Closes a file opened before, then opens `path`.
  SystemResult Open(const std::filesystem::path& path, Opening opening);
  // All of `bytes`, or the error that stopped them (some may have been written).
  SystemResult Write(std::string_view bytes);
  // A network file system may only say at the close that the data found no room.
  SystemResult Close();
  bool IsOpen() const { return handle_ != -1; }

 private:
  std::intptr_t handle_ = -1;  // a descriptor on POSIX, a HANDLE on Windows
};

}  // namespace fjl::platform
