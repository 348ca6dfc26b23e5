// The class-wide port discovery of TPortControl. Its state is shared by every
// instance, because the component's callers begin a walk on one instance and
// read it on another; a mutex keeps a stray second thread from tearing it.

#include <cctype>
#include <mutex>

#include "port/port_control.h"

namespace fjl::link {

namespace {

constexpr int kNoDeviceClass = -27;

struct Discovery {
  std::mutex mutex;
  std::shared_ptr<PortDeviceSource> source;
  std::vector<std::string> extra_ports;
  bool enumeration_active = false;
  std::size_t device_index = 0;
  std::size_t extra_index = 0;
  // The devices taken at the start of a walk; released when they run out.
  std::optional<std::vector<PortDevice>> devices;
  std::vector<std::string> walk_extras;

  PortDeviceSource& Source() {
    if (!source) source = MakeSystemPortSource();
    return *source;
  }
};

Discovery& State() {
  static Discovery discovery;
  return discovery;
}

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool IsListablePortName(const std::string& name) {
  if (name.size() >= 3 && EqualIgnoringCase(name.substr(0, 3), "com")) return true;
  return name.size() > 5 && name.compare(0, 5, "/dev/") == 0;
}

int TPortControl::BeginEnumeratePorts() {
  Discovery& d = State();
  std::lock_guard lock(d.mutex);
  if (d.enumeration_active) return kNoDeviceClass;
  d.device_index = 0;
  d.extra_index = 0;
  d.devices = d.Source().ListDevices();
  d.walk_extras = d.extra_ports;
  if (!d.devices) {
    // The system's list is out of reach (no sysfs in a container, say), but
    // the ports named by the user are still there to be opened: a simulator's
    // pseudo-terminal must show up on any machine. The walk is not marked
    // active, so nothing is left for End to release.
    d.devices.emplace();
    return kNoDeviceClass;
  }
  d.enumeration_active = true;
  return 0;
}

std::string TPortControl::EnumeratePorts() {
  Discovery& d = State();
  std::lock_guard lock(d.mutex);
  if (!d.devices) return {};
  while (d.device_index < d.devices->size()) {
    const PortDevice& device = (*d.devices)[d.device_index++];
    // A device whose name cannot be read is passed over: answering a
    // placeholder without moving on would keep a caller that reads until
    // the empty name looping for ever.
    if (device.port_name && IsListablePortName(*device.port_name)) return *device.port_name;
  }
  while (d.extra_index < d.walk_extras.size()) {
    const std::string& extra = d.walk_extras[d.extra_index++];
    if (!extra.empty()) return extra;
  }
  d.devices.reset();
  return {};
}

int TPortControl::EndEnumeratePorts() {
  Discovery& d = State();
  std::lock_guard lock(d.mutex);
  d.enumeration_active = false;
  d.device_index = 0;
  d.extra_index = 0;
  d.devices.reset();
  d.walk_extras.clear();
  return 0;
}

std::shared_ptr<DeviceKey> TPortControl::GetDeviceKey(const std::string& port) {
  Discovery& d = State();
  std::lock_guard lock(d.mutex);
  if (d.enumeration_active) return nullptr;
  const auto devices = d.Source().ListDevices();
  if (!devices) return nullptr;
  for (const PortDevice& device : *devices) {
    // Devices without a name or a key are passed over rather than ending the
    // search, so one odd device cannot hide the ports after it.
    if (device.port_name && device.key && EqualIgnoringCase(*device.port_name, port)) return device.key;
  }
  return nullptr;
}

void TPortControl::SetDeviceSource(std::shared_ptr<PortDeviceSource> source) {
  Discovery& d = State();
  std::lock_guard lock(d.mutex);
  d.source = std::move(source);
}

void TPortControl::SetExtraPorts(std::vector<std::string> paths) {
  Discovery& d = State();
  std::lock_guard lock(d.mutex);
  d.extra_ports = std::move(paths);
}

}  // namespace fjl::link
