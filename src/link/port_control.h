#pragma once
// TPortControl: the serial port component. This header holds the class-wide
// port discovery; the component's own I/O grows beside it.

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fjl::link {

// One device of the serial port class, as the platform lists it. `port_name`
// is empty when the device's name could not be read.
struct PortDevice {
  std::optional<std::string> port_name;
};

// Where discovery finds devices. The Linux source walks /sys/class/tty; tests
// inject their own lists.
class PortDeviceSource {
 public:
  virtual ~PortDeviceSource() = default;
  // nullopt when the device class cannot be listed at all.
  virtual std::optional<std::vector<PortDevice>> ListDevices() = 0;
};

std::shared_ptr<PortDeviceSource> MakeSystemPortSource();

class TPortControl {
 public:
  TPortControl();
  ~TPortControl();

  // Class-wide discovery: begin, take names until an empty one, end.
  static int BeginEnumeratePorts();     // 0, or -27 (already active / no device class)
  static std::string EnumeratePorts();  // next name, "" when exhausted
  static int EndEnumeratePorts();       // 0

  // Replaces the device source (the system source by default).
  static void SetDeviceSource(std::shared_ptr<PortDeviceSource> source);
  // Extra port paths (a simulator's pseudo-terminal, say) listed after the
  // devices found; empty by default.
  static void SetExtraPorts(std::vector<std::string> paths);
};

}  // namespace fjl::link
