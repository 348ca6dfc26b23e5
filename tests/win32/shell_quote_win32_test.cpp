// The command that goes on, as cmd.exe and the C runtime's argument parser
// take it back: blanks and quotes quoted, backslashes doubled only where a
// quote follows them.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "cli/shell_quote.h"

namespace fjl::cli {
namespace {

TEST(QuoteArgumentWin32, TheParserGivesEveryArgumentBackUnchanged) {
  const std::pair<std::string, std::string> cases[] = {
      {"COM5", "COM5"},
      {"C:\\Ленты\\tape.FJL", "C:\\Ленты\\tape.FJL"},
      {"C:\\My Tapes\\day 1.FJL", "\"C:\\My Tapes\\day 1.FJL\""},
      {"C:\\My Tapes\\", "\"C:\\My Tapes\\\\\""},
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},
      {"", "\"\""},
      {"50%", "\"50%\""},
  };
  for (const auto& [argument, quoted] : cases) EXPECT_EQ(QuoteArgument(argument), quoted) << argument;
}

}  // namespace
}  // namespace fjl::cli
