// The program's command line: extra ports only.

#include <gtest/gtest.h>

#include "app/qt/command_line.h"

namespace fjl::app {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLineTest, AcceptsOnlyExtraPorts) {
  struct Case {
    Args args;
    bool ok;
    Args ports;
  };
  const Case cases[] = {
      {{}, true, {}},
      {{"--extra-port", "/dev/pts/7"}, true, {"/dev/pts/7"}},
      {{"--extra-port", "/dev/pts/7", "--extra-port=/tmp/sim"}, true, {"/dev/pts/7", "/tmp/sim"}},
      {{"--extra-port"}, false, {}},
      {{"--extra-port="}, false, {}},
      {{"--extra-port", ""}, false, {}},
      {{"/dev/pts/7"}, false, {}},
      {{"--log", "x"}, false, {}},
      {{"--extra-port", "/dev/pts/7", "--verbose"}, false, {}},
      {{"--extra-ports=/dev/pts/7"}, false, {}},
  };
  for (const Case& c : cases) {
    const CommandLineResult result = ParseCommandLine(c.args);
    ASSERT_EQ(result.options.has_value(), c.ok) << ::testing::PrintToString(c.args);
    if (c.ok) {
      EXPECT_EQ(result.options->extra_ports, c.ports);
    } else {
      EXPECT_FALSE(result.error.empty());
    }
  }
}

TEST(CommandLineTest, EnvironmentPortsComeFirstAndEachPortOnce) {
  CommandLine options;
  options.extra_ports = {"/tmp/b", "/tmp/c", "/tmp/b"};
  EXPECT_EQ(CollectExtraPorts({"/tmp/a", "/tmp/b"}, options), (Args{"/tmp/a", "/tmp/b", "/tmp/c"}));
  EXPECT_EQ(CollectExtraPorts({}, CommandLine{}), Args{});
}

TEST(CommandLineTest, UsageNamesTheOption) {
  EXPECT_NE(UsageText("fjl-restore").find("--extra-port PATH"), std::string::npos);
}

}  // namespace
}  // namespace fjl::app
