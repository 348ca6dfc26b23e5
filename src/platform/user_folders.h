#pragma once
// Where the user's own data go, as the desktop says it: UTF-8, empty when
// the system names no such folder.

#include <string>

namespace fjl::platform {

// Data the program can make again but would rather keep: $XDG_CACHE_HOME
// (or ~/.cache) on Linux, %LOCALAPPDATA% on Windows.
std::string UserCacheFolder();

}  // namespace fjl::platform
