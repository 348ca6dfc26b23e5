// The program's command line: extra ports only.

#include <gtest/gtest.h>

#include <regex>

#include "app/command_line.h"

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

TEST(CommandLineTest, VersionAndHelpAreAnsweredWithoutTheWindows) {
  const std::optional<std::string> version = InfoText("fjl-restore", {"--version"});
  ASSERT_TRUE(version);
  EXPECT_TRUE(std::regex_match(*version, std::regex("fjl-restore [0-9]+\\.[0-9]+(\\.[0-9]+)*\n"))) << *version;

  const Args help_lines[] = {{"--help"}, {"-h"}, {"--version", "--help"}, {"--extra-port", "/dev/pts/1", "-h"}};
  for (const Args& args : help_lines) {
    const std::optional<std::string> help = InfoText("fjl-restore", args);
    ASSERT_TRUE(help) << ::testing::PrintToString(args);
    EXPECT_EQ(help->substr(0, version->size()), *version);
    EXPECT_NE(help->find("--extra-port PATH"), std::string::npos);
  }
  EXPECT_EQ(InfoText("fjl-restore", {"--extra-port", "/dev/pts/1", "--version"}), version);

  // The window opens: nothing asked, or a port that happens to be named like an option.
  EXPECT_FALSE(InfoText("fjl-restore", {}));
  EXPECT_FALSE(InfoText("fjl-restore", {"--extra-port", "/dev/pts/1"}));
  EXPECT_FALSE(InfoText("fjl-restore", {"--extra-port", "--help"}));
  EXPECT_FALSE(InfoText("fjl-restore", {"--extra-port=--version"}));
}

}  // namespace
}  // namespace fjl::app
