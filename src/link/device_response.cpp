#include "link/device_response.h"

namespace fjl::link {

const std::string& DeviceResponse::Field(int i) const {
  static const std::string kEmpty;
  if (i < 0 || i >= FieldCount || i >= kMaxFields) return kEmpty;
  return Fields[static_cast<std::size_t>(i)];
}

}  // namespace fjl::link
