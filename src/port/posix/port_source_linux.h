#pragma once
// Serial devices as the Linux kernel lists them under /sys/class/tty.

#include <memory>
#include <string>

#include "port/port_control.h"

namespace fjl::port {

// Lists the ttys that sit on a device (ttyS with a real UART behind it,
// ttyUSB, ttyACM, ...), in natural order (ttyS2 before ttyS10), named by
// their path under `dev_root`. Consoles, virtual terminals and the 8250
// driver's placeholder ports (UART type 0) are left out. Each device's key
// keeps its values for the life of the source. The console ports are the
// ttys `console/active` names (e.g. "tty0 ttyS0"), under `dev_root` too.
std::shared_ptr<PortDeviceSource> MakeSysfsPortSource(std::string tty_class_root = "/sys/class/tty",
                                                      std::string dev_root = "/dev");

}  // namespace fjl::port
