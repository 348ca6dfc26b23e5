#include "serial/posix/tty_kernel.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace fjl::serial {

platform::SystemResult SetArbitraryLineSpeed(int fd, std::uint32_t bits_per_second) {
  struct termios2 settings {};
  if (ioctl(fd, TCGETS2, &settings) != 0) return errno;
  settings.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT));
  settings.c_cflag |= static_cast<tcflag_t>(BOTHER | (BOTHER << IBSHIFT));
  settings.c_ispeed = bits_per_second;
  settings.c_ospeed = bits_per_second;
  if (ioctl(fd, TCSETS2, &settings) != 0) return errno;
  return 0;
}

platform::SystemResult ReadLineSpeed(int fd, std::uint32_t& bits_per_second) {
  struct termios2 settings {};
  if (ioctl(fd, TCGETS2, &settings) != 0) return errno;
  bits_per_second = settings.c_ospeed;
  return 0;
}

unsigned int StickParityFlag() { return CMSPAR; }

}  // namespace fjl::serial
