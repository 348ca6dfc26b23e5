#include "cli/shell_quote.h"

namespace fjl::cli {
namespace {

// Characters no POSIX shell gives a meaning to in a word; bytes of UTF-8
// letters (a Cyrillic file name) are plain too.
bool Plain(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x80) return true;
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-_./:=@%+,").find(c) != std::string_view::npos;
}

}  // namespace

std::string QuoteArgument(std::string_view argument) {
  bool plain = !argument.empty();
  for (const char c : argument) plain = plain && Plain(c);
  if (plain) return std::string(argument);
  // Inside single quotes nothing is special but the quote itself, which
  // has to close the quoting, come escaped, and open it again.
  std::string quoted = "'";
  for (const char c : argument) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

}  // namespace fjl::cli
