#include "platform/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

namespace fjl::platform {

FileLock::~FileLock() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

SystemResult FileLock::Acquire(const std::string& path) {
  busy_ = false;
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    busy_ = error == EWOULDBLOCK;
    ::close(fd);
    return error;
  }
  if (handle_ >= 0) ::close(static_cast<int>(handle_));
  handle_ = fd;
  return 0;
}

}  // namespace fjl::platform
