#include "port/port_listing.h"

#include "port/port_control.h"
#include "port/port_discovery.h"

namespace fjl::port {

std::vector<std::string> ListPorts() {
  struct EnumerationScope {
    EnumerationScope() { TPortControl::BeginEnumeratePorts(); }
    ~EnumerationScope() { TPortControl::EndEnumeratePorts(); }
    EnumerationScope(const EnumerationScope&) = delete;
    EnumerationScope& operator=(const EnumerationScope&) = delete;
  } scope;
  std::vector<std::string> ports;
  while (ports.size() < kMaxListedPorts) {
    std::string name = TPortControl::EnumeratePorts();
    if (name.empty()) break;
    ports.push_back(std::move(name));
  }
  return ports;
}

std::vector<std::string> ConsolePorts() { return PortDiscovery::Current().ConsolePorts(); }

}  // namespace fjl::port
