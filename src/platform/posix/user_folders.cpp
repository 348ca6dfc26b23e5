#include "platform/user_folders.h"

#include <cstdlib>

namespace fjl::platform {

std::string UserCacheFolder() {
  // The base directory specification takes only absolute paths.
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && cache[0] == '/') return cache;
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return std::string(home) + "/.cache";
  return {};
}

}  // namespace fjl::platform
