// The default opener lives apart from DeviceLink so that a program (or a
// test) that brings its own channel does not link the POSIX serial port.
#include "link/device_link.h"
#include "serial/posix/serial_posix.h"

namespace fjl::link {

DeviceLink::DeviceLink() : DeviceLink(OpenPosixSerialChannel) {}

}  // namespace fjl::link
