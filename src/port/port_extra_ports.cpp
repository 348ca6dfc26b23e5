#include "port/port_extra_ports.h"

#include <cstdlib>

namespace fjl::link {

std::vector<std::string> SplitPortList(const std::string& list) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string::npos) end = list.size();
    if (end > start) paths.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return paths;
}

std::vector<std::string> ExtraPortsFromEnvironment() {
  const char* list = std::getenv("FJL_EXTRA_PORTS");
  if (list == nullptr) return {};
  return SplitPortList(list);
}

}  // namespace fjl::link
