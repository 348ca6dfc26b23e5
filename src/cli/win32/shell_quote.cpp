#include "cli/shell_quote.h"

namespace fjl::cli {
namespace {

// Characters cmd.exe and the argument parser leave alone outside quotes.
bool Plain(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x80) return true;
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-_./:=@+,\\").find(c) != std::string_view::npos;
}

}  // namespace

std::string QuoteArgument(std::string_view argument) {
  bool plain = !argument.empty();
  for (const char c : argument) plain = plain && Plain(c);
  if (plain) return std::string(argument);
  // The parser's rules: backslashes are literal unless a quote follows
  // them, so those before a quote (or before the closing one) are doubled,
  // and a quote of the argument comes as \".
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, '\\');
  return quoted + "\"";
}

}  // namespace fjl::cli
