// The default opener lives apart from DeviceLink so that a program (or a
// test) that brings its own channel does not link the platform's serial port.
#include "link/device_link.h"
#include "serial/serial_channel.h"

namespace fjl::link {

DeviceLink::DeviceLink() : DeviceLink(serial::OpenSerialPort) {}

}  // namespace fjl::link
