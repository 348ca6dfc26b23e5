#pragma once
// Appending to a text file in one go: open (creating it), write, close.

#include <filesystem>
#include <string_view>

#include "platform/system_result.h"

namespace fjl::platform {

// Appends all of `bytes` to `path`. The system's error of the first step
// that failed, so a full disk is told apart from a file that will not open.
SystemResult AppendToFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace fjl::platform
