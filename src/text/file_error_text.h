#pragma once
// The user's text for a system error met while writing a file: Russian for
// the errors a user can act on (no room, a read-only disk, no permission, a
// name too long, a missing folder, a folder in the file's place), the
// system's own text for anything else. Both windows and the CLI show these.

#include <string>

#include "platform/system_result.h"

namespace fjl::text {

// UTF-8. Safe to call from any thread.
std::string FileErrorText(const platform::SystemResult& failure);

}  // namespace fjl::text
