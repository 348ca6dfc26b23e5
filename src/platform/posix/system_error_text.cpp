#include <cstring>
#include <string>

#include "platform/system_result.h"

namespace fjl::platform {
namespace {

// strerror_r comes in two flavours; each overload takes one of them.
[[maybe_unused]] const char* MessageOf(int result, const char* buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char* MessageOf(const char* result, const char*) { return result; }

}  // namespace

std::string SystemErrorText(int code) {
  char buffer[256] = {};
  const char* message = MessageOf(::strerror_r(code, buffer, sizeof buffer), buffer);
  if (message == nullptr || *message == '\0') return "Unknown error " + std::to_string(code);
  return message;
}

std::string ErrnoText(int errno_code) { return SystemErrorText(errno_code); }

}  // namespace fjl::platform
