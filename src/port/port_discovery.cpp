#include "port/port_discovery.h"

#include <atomic>
#include <cctype>

namespace fjl::port {

namespace {

constexpr int kNoDeviceClass = -27;

bool EqualIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

// The discovery a ScopedPortDiscovery has put in place; null: the process's own.
std::atomic<PortDiscovery*>& Override() {
  static std::atomic<PortDiscovery*> current{nullptr};
  return current;
}

}  // namespace

bool IsListablePortName(const std::string& name) {
  if (name.size() >= 3 && EqualIgnoringCase(name.substr(0, 3), "com")) return true;
  return name.size() > 5 && name.compare(0, 5, "/dev/") == 0;
}

PortDiscovery::PortDiscovery(std::shared_ptr<PortDeviceSource> source, std::vector<std::string> extra_ports)
    : source_(std::move(source)), extra_ports_(std::move(extra_ports)) {}

PortDiscovery& PortDiscovery::Current() {
  if (PortDiscovery* scoped = Override().load()) return *scoped;
  static PortDiscovery process;
  return process;
}

std::vector<std::string> PortDiscovery::ConsolePorts() {
  std::lock_guard lock(mutex_);
  return Source().ConsolePorts();
}

PortDeviceSource& PortDiscovery::Source() {
  if (!source_) source_ = MakeSystemPortSource();
  return *source_;
}

int PortDiscovery::Begin() {
  std::lock_guard lock(mutex_);
  if (enumeration_active_) return kNoDeviceClass;
  device_index_ = 0;
  extra_index_ = 0;
  devices_ = Source().ListDevices();
  walk_extras_ = extra_ports_;
  if (!devices_) {
    // The system's list is out of reach (no sysfs in a container, say), but
    // the ports named by the user are still there to be opened: a simulator's
    // pseudo-terminal must show up on any machine. The walk is not marked
    // active, so nothing is left for End to release.
    devices_.emplace();
    return kNoDeviceClass;
  }
  enumeration_active_ = true;
  return 0;
}

std::string PortDiscovery::Next() {
  std::lock_guard lock(mutex_);
  if (!devices_) return {};
  while (device_index_ < devices_->size()) {
    const PortDevice& device = (*devices_)[device_index_++];
    // A device whose name cannot be read is passed over: answering a
    // placeholder without moving on would keep a caller that reads until
    // the empty name looping for ever.
    if (device.port_name && IsListablePortName(*device.port_name)) return *device.port_name;
  }
  while (extra_index_ < walk_extras_.size()) {
    const std::string& extra = walk_extras_[extra_index_++];
    if (!extra.empty()) return extra;
  }
  devices_.reset();
  return {};
}

int PortDiscovery::End() {
  std::lock_guard lock(mutex_);
  enumeration_active_ = false;
  device_index_ = 0;
  extra_index_ = 0;
  devices_.reset();
  walk_extras_.clear();
  return 0;
}

std::shared_ptr<DeviceKey> PortDiscovery::DeviceKeyOf(const std::string& port) {
  std::lock_guard lock(mutex_);
  if (enumeration_active_) return nullptr;
  const auto devices = Source().ListDevices();
  if (!devices) return nullptr;
  for (const PortDevice& device : *devices) {
    // Devices without a name or a key are passed over rather than ending the
    // search, so one odd device cannot hide the ports after it.
    if (device.port_name && device.key && EqualIgnoringCase(*device.port_name, port)) return device.key;
  }
  return nullptr;
}

void PortDiscovery::SetDeviceSource(std::shared_ptr<PortDeviceSource> source) {
  std::lock_guard lock(mutex_);
  source_ = std::move(source);
}

void PortDiscovery::SetExtraPorts(std::vector<std::string> paths) {
  std::lock_guard lock(mutex_);
  extra_ports_ = std::move(paths);
}

ScopedPortDiscovery::ScopedPortDiscovery(std::shared_ptr<PortDeviceSource> source,
                                         std::vector<std::string> extra_ports)
    : discovery_(std::move(source), std::move(extra_ports)), previous_(Override().exchange(&discovery_)) {}

ScopedPortDiscovery::~ScopedPortDiscovery() { Override().store(previous_); }

// TPortControl's class-wide calls, on the current discovery.

int TPortControl::BeginEnumeratePorts() { return PortDiscovery::Current().Begin(); }

std::string TPortControl::EnumeratePorts() { return PortDiscovery::Current().Next(); }

int TPortControl::EndEnumeratePorts() { return PortDiscovery::Current().End(); }

std::shared_ptr<DeviceKey> TPortControl::GetDeviceKey(const std::string& port) {
  return PortDiscovery::Current().DeviceKeyOf(port);
}

void TPortControl::SetDeviceSource(std::shared_ptr<PortDeviceSource> source) {
  PortDiscovery::Current().SetDeviceSource(std::move(source));
}

void TPortControl::SetExtraPorts(std::vector<std::string> paths) {
  PortDiscovery::Current().SetExtraPorts(std::move(paths));
}

}  // namespace fjl::port
