#pragma once
// The one operation every caller of the printer link needs: send a command and
// get its decoded reply. DeviceLink implements it over a serial channel; tests
// of the downloads and the restoration can script replies behind it.

#include <cstdint>
#include <string_view>

#include "link/device_response.h"

namespace fjl::link {

class Exchanger {
 public:
  virtual ~Exchanger() = default;
  // The returned record stays valid until the next exchange overwrites it.
  virtual const DeviceResponse& Exchange(std::int32_t command, std::string_view data) = 0;
};

}  // namespace fjl::link
