#include "port/port_extra_ports.h"

namespace fjl::port {

std::vector<std::string> SplitPortList(std::string_view list) {
  std::vector<std::string> paths;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(':', start);
    if (end == std::string_view::npos) end = list.size();
    if (end > start) paths.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
  return paths;
}

}  // namespace fjl::port
