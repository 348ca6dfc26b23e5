#pragma once
// TPortControl: the serial port component. This header holds the class-wide
// port discovery; the component's own I/O grows beside it.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/port_device_key.h"

namespace fjl::link {

// One device of the serial port class, as the platform lists it. `port_name`
// is empty when the device's name could not be read; `key` is null when the
// device has no settings key.
struct PortDevice {
  std::optional<std::string> port_name;
  std::shared_ptr<DeviceKey> key = nullptr;
};

// Where discovery finds devices. The Linux source walks /sys/class/tty; tests
// inject their own lists.
class PortDeviceSource {
 public:
  virtual ~PortDeviceSource() = default;
  // nullopt when the device class cannot be listed at all.
  virtual std::optional<std::vector<PortDevice>> ListDevices() = 0;
};

// The serial devices of this system (see port_sysfs_source.h).
std::shared_ptr<PortDeviceSource> MakeSystemPortSource();

// Port names the discovery hands out: Windows-style names beginning with
// "com" (any case) and device paths beginning with "/dev/".
bool IsListablePortName(const std::string& name);

class TPortControl {
 public:
  TPortControl();
  ~TPortControl();

  // Class-wide discovery: begin, take names until an empty one, end.
  static int BeginEnumeratePorts();     // 0, or -27 (already active / no device class)
  static std::string EnumeratePorts();  // next name, "" when exhausted
  static int EndEnumeratePorts();       // 0
  // The settings key of the named port's device (names compare ignoring
  // case); null during an enumeration or when no device carries the name.
  static std::shared_ptr<DeviceKey> GetDeviceKey(const std::string& port);

  // Replaces the device source; null puts the system source back.
  static void SetDeviceSource(std::shared_ptr<PortDeviceSource> source);
  // Extra port paths (a simulator's pseudo-terminal, say) listed after the
  // devices found; empty by default.
  static void SetExtraPorts(std::vector<std::string> paths);
};

}  // namespace fjl::link
