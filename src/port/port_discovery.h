#pragma once
// The state behind TPortControl's class-wide port discovery: where devices
// come from, the extra ports, and the walk in progress. The component's
// callers begin a walk on one instance and read it on another, so the
// static calls all work on one PortDiscovery, the current one: the
// process's own, or the one a ScopedPortDiscovery has put in its place.

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "port/port_control.h"

namespace fjl::port {

class PortDiscovery {
 public:
  // Null `source` means the system's serial devices.
  explicit PortDiscovery(std::shared_ptr<PortDeviceSource> source = nullptr,
                         std::vector<std::string> extra_ports = {});
  PortDiscovery(const PortDiscovery&) = delete;
  PortDiscovery& operator=(const PortDiscovery&) = delete;

  // What TPortControl's static calls of the same names do.
  int Begin();
  std::string Next();
  int End();
  std::shared_ptr<DeviceKey> DeviceKeyOf(const std::string& port);
  std::vector<std::string> ConsolePorts();
  void SetDeviceSource(std::shared_ptr<PortDeviceSource> source);
  void SetExtraPorts(std::vector<std::string> paths);

  // The discovery the class-wide calls work on.
  static PortDiscovery& Current();

 private:
  PortDeviceSource& Source();

  // A stray second thread must not tear a walk.
  std::mutex mutex_;
  std::shared_ptr<PortDeviceSource> source_;
  std::vector<std::string> extra_ports_;
  bool enumeration_active_ = false;
  std::size_t device_index_ = 0;
  std::size_t extra_index_ = 0;
  // The devices taken at the start of a walk; released when they run out.
  std::optional<std::vector<PortDevice>> devices_;
  std::vector<std::string> walk_extras_;
};

// Puts a discovery of its own in the place of the current one for as long
// as it lives, and gives the previous one back when it ends, whatever the
// code in between set: a test starts from a known source and extra ports
// and leaves nothing behind. Guards end in the reverse order of their start.
class ScopedPortDiscovery {
 public:
  explicit ScopedPortDiscovery(std::shared_ptr<PortDeviceSource> source = nullptr,
                               std::vector<std::string> extra_ports = {});
  ~ScopedPortDiscovery();
  ScopedPortDiscovery(const ScopedPortDiscovery&) = delete;
  ScopedPortDiscovery& operator=(const ScopedPortDiscovery&) = delete;

 private:
  PortDiscovery discovery_;
  PortDiscovery* previous_;
};

}  // namespace fjl::port
