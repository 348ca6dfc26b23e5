#include "platform/file_append.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace fjl::platform {

SystemResult AppendToFile(const std::filesystem::path& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return errno;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      const int error = put < 0 ? errno : EIO;
      ::close(fd);
      return error;
    }
    done += static_cast<std::size_t>(put);
  }
  // A network file system may only say at close that the data found no room.
  if (::close(fd) != 0 && errno != EINTR) return errno;
  return 0;
}

}  // namespace fjl::platform
