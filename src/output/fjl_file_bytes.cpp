#include "output/save_text_file.h"
#include "text/cp1251.h"

namespace fjl::output {

std::string FjlFileBytes(std::span<const std::string> lines) {
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += text::Utf8ToCp1251(line);
    bytes += "\r\n";
  }
  return bytes;
}

}  // namespace fjl::output
