#include "output/save_dialog.h"

namespace fjl::output {

std::string WithDefaultExtension(std::string_view path) {
#ifdef _WIN32
  // The dialog gives Windows names with backslashes: a dot in a folder's
  // name must not pass for the file's extension.
  const std::size_t slash = path.find_last_of("/\\");
#else
  const std::size_t slash = path.find_last_of('/');
#endif
  const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (name.empty()) return std::string(path);
  const std::size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0 && dot + 1 < name.size()) return std::string(path);
  std::string completed(path);
  if (!completed.empty() && completed.back() == '.') completed.pop_back();
  // The dialog's default extension is "*.FJL"; what a name gets is its ".FJL" part.
  completed += kDefaultExtension.substr(1);
  return completed;
}

}  // namespace fjl::output
