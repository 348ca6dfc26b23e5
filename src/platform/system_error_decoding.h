#pragma once
// What each platform's decoder tells SystemResult about a code: its text and
// its meaning. One decoder per platform, in its system_error_text.cpp.

#include <string>

#include "platform/system_result.h"

namespace fjl::platform::decoding {

std::string MessageOf(int code, ErrorNumbering numbering);
ErrorKind KindOf(int code, ErrorNumbering numbering);

// errno values by their <cerrno> names, shared by both platforms: the C
// runtime's numbering on Windows is POSIX's own.
ErrorKind KindOfErrno(int errno_code);

}  // namespace fjl::platform::decoding
