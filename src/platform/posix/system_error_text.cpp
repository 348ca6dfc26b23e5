#include <cstring>
#include <string>

#include "platform/system_error_decoding.h"
#include "platform/system_result.h"

namespace fjl::platform {
namespace {

// strerror_r comes in two flavours; each overload takes one of them.
[[maybe_unused]] const char* MessageFrom(int result, const char* buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char* MessageFrom(const char* result, const char*) { return result; }

}  // namespace

std::string SystemErrorText(int code) {
  char buffer[256] = {};
  const char* message = MessageFrom(::strerror_r(code, buffer, sizeof buffer), buffer);
  if (message == nullptr || *message == '\0') return "Unknown error " + std::to_string(code);
  return message;
}

namespace decoding {

// errno is the system's own numbering here: the runtime's codes are the same.
std::string MessageOf(int code, ErrorNumbering) { return SystemErrorText(code); }
ErrorKind KindOf(int code, ErrorNumbering) { return KindOfErrno(code); }

}  // namespace decoding
}  // namespace fjl::platform
