#include "platform/user_folders.h"

#include <cstdlib>

namespace fjl::platform {

std::string UserCacheFolder() {
  // Only an absolute XDG_CACHE_HOME counts; a relative one is ignored.
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && cache[0] == '/') return cache;
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return std::string(home) + "/.cache";
  return {};
}

}  // namespace fjl::platform
