#include "platform/user_folders.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace fjl::platform {

std::string UserCacheFolder() {
  // Only an absolute XDG_CACHE_HOME counts; a relative one is ignored.
  if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && cache[0] == '/') return cache;
  if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') return std::string(home) + "/.cache";
  return {};
}

namespace {

std::string Home() {
  const char* home = std::getenv("HOME");
  return home != nullptr && home[0] == '/' ? home : "";
}

// XDG_DOCUMENTS_DIR="$HOME/Documents" in user-dirs.dirs: an absolute path or
// one under $HOME, nothing else.
std::string DocumentsFromUserDirs(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string folder = config != nullptr && config[0] == '/' ? config : home + "/.config";
  std::ifstream dirs(folder + "/user-dirs.dirs");
  constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=\"";
  for (std::string line; std::getline(dirs, line);) {
    if (!line.starts_with(kKey) || !line.ends_with('"')) continue;
    std::string path = line.substr(kKey.size(), line.size() - kKey.size() - 1);
    if (path.starts_with("$HOME")) path = home + path.substr(5);
    return path.starts_with('/') ? path : "";
  }
  return {};
}

bool IsFolder(const std::string& path) {
  std::error_code error;
  return !path.empty() && std::filesystem::is_directory(path, error);
}

}  // namespace

std::string UserDocumentsFolder() {
  std::string home = Home();
  if (home.empty()) return {};
  if (std::string documents = DocumentsFromUserDirs(home); IsFolder(documents)) return documents;
  if (std::string documents = home + "/Documents"; IsFolder(documents)) return documents;
  return home;
}

SystemFamily ThisSystem() { return SystemFamily::Posix; }

}  // namespace fjl::platform
