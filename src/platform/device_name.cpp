#include "platform/device_name.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace fjl::platform {

bool IsWindowsDeviceName(std::string_view file_name) {
  std::string name(file_name.substr(0, file_name.find('.')));
  while (!name.empty() && name.back() == ' ') name.pop_back();
  std::transform(name.begin(), name.end(), name.begin(),
                 [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
  static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
  if (std::find(kDevices.begin(), kDevices.end(), name) != kDevices.end()) return true;
  return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) && name[3] >= '1' &&
         name[3] <= '9';
}

}  // namespace fjl::platform
