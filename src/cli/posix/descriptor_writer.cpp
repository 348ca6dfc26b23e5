#include "cli/posix/descriptor_writer.h"

#include <unistd.h>

#include <cerrno>

namespace fjl::cli {

TextWriter DescriptorWriter(int fd) {
  return [fd](std::string_view text) {
    while (!text.empty()) {
      const ssize_t written = ::write(fd, text.data(), text.size());
      if (written < 0 && errno == EINTR) continue;
      // Nowhere left to report a failing standard stream to.
      if (written <= 0) return;
      text.remove_prefix(static_cast<std::size_t>(written));
    }
  };
}

}  // namespace fjl::cli
