#pragma once
// File names travel through the core as UTF-8 text. A path built from a plain
// std::string would be read in the ANSI code page on Windows, so every file
// name becomes a path through here.

#include <filesystem>
#include <string>
#include <string_view>

namespace fjl::platform {

inline std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace fjl::platform
