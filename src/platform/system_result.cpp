#include "platform/system_result.h"

namespace fjl::platform {

SystemResult::SystemResult(int code) : code_(code) {
  if (code_ != 0) text_ = SystemErrorText(code_);
}

SystemResult SystemResult::DeviceGone(int code) {
  SystemResult result(code);
  result.gone_ = true;
  return result;
}

}  // namespace fjl::platform
