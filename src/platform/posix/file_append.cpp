#include "platform/file_append.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace fjl::platform {

SystemResult AppendToFile(const std::filesystem::path& path, std::string_view bytes) {
  AppendingFile file;
  if (SystemResult opened = file.Open(path, AppendingFile::Opening::Keep); !opened) return opened;
  if (SystemResult written = file.Write(bytes); !written) return written;
  return file.Close();
}

AppendingFile::~AppendingFile() {
  if (handle_ != -1) ::close(static_cast<int>(handle_));
}

AppendingFile::AppendingFile(AppendingFile&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

AppendingFile& AppendingFile::operator=(AppendingFile&& other) noexcept {
  if (this != &other) {
    if (handle_ != -1) ::close(static_cast<int>(handle_));
    handle_ = std::exchange(other.handle_, -1);
  }
  return *this;
}

SystemResult AppendingFile::Open(const std::filesystem::path& path, Opening opening) {
  if (handle_ != -1) ::close(static_cast<int>(std::exchange(handle_, -1)));
  const int flags = O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | (opening == Opening::Empty ? O_TRUNC : 0);
  const int fd = ::open(path.c_str(), flags, 0666);
  if (fd < 0) return errno;
  handle_ = fd;
  return 0;
}

SystemResult AppendingFile::Write(std::string_view bytes) {
  if (handle_ == -1) return EBADF;
  while (!bytes.empty()) {
    const ssize_t put = ::write(static_cast<int>(handle_), bytes.data(), bytes.size());
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return errno;
    // No progress and no error: the file takes nothing more.
    if (put == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(put));
  }
  return 0;
}

SystemResult AppendingFile::Close() {
  if (handle_ == -1) return 0;
  // The descriptor is gone whatever close answers; EINTR is no lost data on Linux.
  if (::close(static_cast<int>(std::exchange(handle_, -1))) != 0 && errno != EINTR) return errno;
  return 0;
}

}  // namespace fjl::platform
