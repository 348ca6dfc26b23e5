#pragma once
// Where the user's own data go, as the desktop says it: UTF-8, empty when
// the system names no such folder.

#include <string>

namespace fjl::platform {

// Data the program can make again but would rather keep: $XDG_CACHE_HOME
// (or ~/.cache) on Linux, %LOCALAPPDATA% on Windows.
std::string UserCacheFolder();

// Where the user keeps documents: the XDG documents folder on Linux (from
// user-dirs.dirs, else ~/Documents when it exists, else the home folder),
// the "Documents" known folder on Windows.
std::string UserDocumentsFolder();

// Which advice fits the system the program runs on.
enum class SystemFamily { Posix, Windows };
SystemFamily ThisSystem();

}  // namespace fjl::platform
