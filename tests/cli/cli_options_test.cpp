// The command line: what is accepted, what is refused and how.

#include <gtest/gtest.h>

#include <ostream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "port/port_discovery.h"
#include "cli_test_support.h"

namespace fjl::cli::testing {
namespace {

ParsedCommandLine Parse(std::vector<std::string> args) { return ParseCommandLine(args); }

TEST(CliOptions, DefaultsAreTheStep1Presets) {
  const ParsedCommandLine p = Parse({"--port", "/dev/ttyS0", "--output", "t.FJL"});
  ASSERT_TRUE(p.ok()) << p.error;
  EXPECT_EQ(p.command, CliCommand::Restore);
  EXPECT_EQ(p.options.port, "/dev/ttyS0");
  EXPECT_EQ(p.options.output, "t.FJL");
  EXPECT_EQ(p.options.speed, 9600);
  EXPECT_EQ(p.options.password, "482913");
  EXPECT_FALSE(p.options.log);
  EXPECT_FALSE(p.options.dump);
  EXPECT_FALSE(p.options.verbose);
}

TEST(CliOptions, EveryOptionInBothSpellings) {
  const ParsedCommandLine p =
      Parse({"--output=o.FJL", "--port=/dev/pts/3", "--speed=115200", "--password", "", "--log", "l.txt",
             "--dump=d", "--verbose"});
  ASSERT_TRUE(p.ok()) << p.error;
  EXPECT_EQ(p.options.port, "/dev/pts/3");
  EXPECT_EQ(p.options.output, "o.FJL");
  EXPECT_EQ(p.options.speed, 115200);
  EXPECT_EQ(p.options.password, "");  // an empty box sends an empty password
  EXPECT_EQ(p.options.log, "l.txt");
  EXPECT_EQ(p.options.dump, "d");
  EXPECT_TRUE(p.options.verbose);
}

TEST(CliOptions, DumpsResumesAndSearches) {
  const ParsedCommandLine resume = Parse({"--resume", "d", "--port", "p", "--output", "o"});
  ASSERT_TRUE(resume.ok()) << resume.error;
  EXPECT_EQ(resume.options.resume, "d");
  EXPECT_FALSE(resume.options.speed_given);  // the dump's speed then

  const ParsedCommandLine offline = Parse({"--from-dump", "d", "--output", "o"});
  ASSERT_TRUE(offline.ok()) << offline.error;
  EXPECT_EQ(offline.command, CliCommand::Restore);
  EXPECT_EQ(offline.options.from_dump, "d");

  const ParsedCommandLine find = Parse({"--find"});
  ASSERT_TRUE(find.ok()) << find.error;
  EXPECT_EQ(find.command, CliCommand::Find);
  EXPECT_TRUE(find.options.PortAuto());
  EXPECT_TRUE(find.options.speed_auto);

  const ParsedCommandLine automatic = Parse({"--port", "auto", "--speed", "auto", "--output", "o"});
  ASSERT_TRUE(automatic.ok()) << automatic.error;
  EXPECT_TRUE(automatic.options.PortAuto());
  EXPECT_TRUE(automatic.options.speed_auto);

  const std::pair<std::vector<std::string>, const char*> refused[] = {
      {{"--find", "--output", "o"}, "--find only looks for the printer"},
      {{"--from-dump", "d", "--port", "p", "--output", "o"}, "--from-dump restores without a printer"},
      {{"--from-dump", "d"}, "--output is required"},
      {{"--resume", "d", "--dump", "e", "--port", "p", "--output", "o"}, "--dump does not go with it"},
      {{"--resume", "", "--port", "p", "--output", "o"}, "--resume needs a folder"},
  };
  for (const auto& [args, why] : refused) {
    const ParsedCommandLine p = Parse(args);
    EXPECT_FALSE(p.ok()) << why;
    EXPECT_NE(p.error.find(why), std::string::npos) << p.error;
  }
}

TEST(CliOptions, EachOfTheElevenSpeedsAndNothingElse) {
  const std::vector<std::int32_t> speeds{110, 300, 600, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
  for (const std::int32_t speed : speeds) {
    EXPECT_EQ(ParseLineSpeed(std::to_string(speed)), speed);
  }
  for (const char* bad : {"", "0", "9601", "09600", "9600 ", "+9600", "230400", "fast", "-9600"}) {
    EXPECT_FALSE(ParseLineSpeed(bad)) << bad;
  }
}

TEST(CliOptions, PasswordBecomesWindows1251OrIsRefused) {
  EXPECT_EQ(PasswordBytes("482913"), "482913");
  EXPECT_EQ(PasswordBytes("Пароль"), "\xCF\xE0\xF0\xEE\xEB\xFC");
  EXPECT_EQ(PasswordBytes(""), "");
  EXPECT_FALSE(PasswordBytes("密码"));       // no such letters in Windows-1251
  EXPECT_FALSE(PasswordBytes("\xFF\xFE"));  // not UTF-8
}

TEST(CliOptions, HelpWinsAndListPortsStandsAlone) {
  EXPECT_EQ(Parse({"--help"}).command, CliCommand::Help);
  EXPECT_EQ(Parse({"--port", "x", "-h"}).command, CliCommand::Help);
  EXPECT_EQ(Parse({"--list-ports"}).command, CliCommand::ListPorts);
  EXPECT_FALSE(Parse({"--list-ports", "--port", "x"}).ok());
}

struct UsageCase {
  const char* name;
  std::vector<std::string> args;
  const char* says;  // part of the message
};

void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }

class CliUsageErrors : public ::testing::TestWithParam<UsageCase> {};

// Every refusal: status 2, its reason and the usage on standard error, no
// file written and no port opened (the port named does not exist, so an
// attempt would answer "Невозможно подключить порт" and status 1).
TEST_P(CliUsageErrors, ExitTwoWithReasonAndUsage) {
  ScratchFolder folder;
  std::vector<std::string> args;
  for (const std::string& a : GetParam().args) {
    std::string arg = a;
    if (const auto at = arg.find("@"); at != std::string::npos) arg.replace(at, 1, folder.Path().string());
    args.push_back(arg);
  }
  const CliResult r = RunCliWith(args);
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
  // One line and where the help is, not the help itself.
  EXPECT_TRUE(r.err.ends_with("\nsee fjl-restore-cli --help\n")) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 2) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(r.err.find("Невозможно подключить порт"), std::string::npos);
  EXPECT_TRUE(folder.Names().empty());
}

const std::string kPort = "/dev/fjl-no-such-port";

INSTANTIATE_TEST_SUITE_P(
    Table, CliUsageErrors,
    ::testing::Values(
        UsageCase{"NoArguments", {}, "--port is required"},
        UsageCase{"UnknownOption", {"--port", kPort, "--output", "@/t.FJL", "--baud", "9600"}, "unknown option '--baud'"},
        UsageCase{"ShortUnknownOption", {"-x"}, "unknown option '-x'"},
        UsageCase{"StrayArgument", {"--port", kPort, "--output", "@/t.FJL", "extra"}, "unexpected argument 'extra'"},
        UsageCase{"MissingPort", {"--output", "@/t.FJL"}, "--port is required"},
        UsageCase{"MissingOutput", {"--port", kPort}, "--output is required"},
        UsageCase{"EmptyPort", {"--port", "", "--output", "@/t.FJL"}, "--port needs"},
        UsageCase{"PortWithoutValue", {"--output", "@/t.FJL", "--port"}, "'--port' needs a value"},
        UsageCase{"SpeedOffTheList", {"--port", kPort, "--output", "@/t.FJL", "--speed", "14400"}, "--speed must be one of 110 300"},
        UsageCase{"SpeedNotANumber", {"--port", kPort, "--output", "@/t.FJL", "--speed=fast"}, "not 'fast'"},
        UsageCase{"OptionTwice", {"--port", kPort, "--port", kPort, "--output", "@/t.FJL"}, "more than once"},
        UsageCase{"FlagWithValue", {"--port", kPort, "--output", "@/t.FJL", "--verbose=yes"}, "takes no value"},
        UsageCase{"PasswordOutsideWindows1251", {"--port", kPort, "--output", "@/t.FJL", "--password", "€密"}, "Windows-1251"},
        UsageCase{"PasswordTooLong", {"--port", kPort, "--output", "@/t.FJL", "--password", std::string(209, '1')}, "longer than 208"},
        UsageCase{"ListPortsWithOthers", {"--list-ports", "--verbose"}, "--list-ports takes no other options"}),
    [](const ::testing::TestParamInfo<UsageCase>& param) { return std::string(param.param.name); });

struct FileCase {
  const char* name;
  std::vector<std::string> extra;  // "@" is the scratch folder
  const char* says;
};

void PrintTo(const FileCase& c, std::ostream* os) { *os << c.name; }

class CliUnusableFiles : public ::testing::TestWithParam<FileCase> {};

// Found before the port is opened: the port named does not exist, so had it
// been tried the answer would be "Невозможно подключить порт".
TEST_P(CliUnusableFiles, RefusedBeforeThePortIsOpened) {
  ScratchFolder folder;
  ASSERT_EQ(::mkdir((folder / "sub").c_str(), 0755), 0);
  WriteBytes(folder / "plain", std::vector<std::uint8_t>{'x'});
  ASSERT_EQ(::link((folder / "plain").c_str(), (folder / "plain-too").c_str()), 0);
  ASSERT_EQ(::symlink("none/t.FJL", (folder / "dangling").c_str()), 0);
  ASSERT_EQ(::symlink("loop", (folder / "loop").c_str()), 0);
  ASSERT_EQ(::symlink("sub/t.FJL", (folder / "to-out").c_str()), 0);
  std::vector<std::string> args{"--port", kPort};
  for (const std::string& a : GetParam().extra) {
    std::string arg = a;
    if (const auto at = arg.find("@"); at != std::string::npos) arg.replace(at, 1, folder.Path().string());
    args.push_back(arg);
  }
  const CliResult r = RunCliWith(args);
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find(GetParam().says), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("Невозможно подключить порт"), std::string::npos);
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"dangling", "loop", "plain", "plain-too", "sub", "to-out"}));
  EXPECT_TRUE(std::filesystem::is_empty(folder / "sub"));
  EXPECT_EQ(ReadBytes(folder / "plain"), "x");
}

INSTANTIATE_TEST_SUITE_P(
    Table, CliUnusableFiles,
    ::testing::Values(
        FileCase{"FolderMissing", {"--output", "@/none/t.FJL"}, "none/t.FJL: Нет такой папки"},
        FileCase{"OutputIsAFolder", {"--output", "@/sub"}, "sub: Это папка, а не файл"},
        FileCase{"OutputIsADevice", {"--output", "/dev/null"},
                 "/dev/null: Это не обычный файл (устройство, канал или сокет)"},
        FileCase{"OutputEndsInSlash", {"--output", "@/sub/"}, "sub/: Это папка, а не файл"},
        FileCase{"FolderIsAFile", {"--output", "@/plain/t.FJL"}, "plain/t.FJL: Часть пути не является папкой"},
        FileCase{"LogFolderMissing", {"--output", "@/sub/t.FJL", "--log", "@/none/log"}, "none/log: Нет такой папки"},
        FileCase{"DumpParentMissing", {"--output", "@/sub/t.FJL", "--dump", "@/none/d"}, "none/d: Нет такой папки"},
        FileCase{"DumpIsAFile", {"--output", "@/sub/t.FJL", "--dump", "@/plain"},
                 "plain: Часть пути не является папкой"},
        // The temporary file beside the output takes 8 more characters than its name.
        FileCase{"NameTooLongForTheTemporaryFile", {"--output", "@/sub/" + std::string(248, 'x')},
                 "Слишком длинное имя файла"},
        FileCase{"LongestLegalName", {"--output", "@/sub/" + std::string(255, 'x')}, "Слишком длинное имя файла"},
        FileCase{"LinkIntoAMissingFolder", {"--output", "@/dangling"}, "dangling: Нет такой папки"},
        FileCase{"LoopingLink", {"--output", "@/loop"}, "loop: Символьные ссылки замкнуты в кольцо"},
        // Files the run would write over one another.
        FileCase{"LogSpelledOtherwise", {"--output", "@/sub/t.FJL", "--log", "@/./sub/../sub/t.FJL"},
                 "/./sub/../sub/t.FJL names the same file as --output "},
        FileCase{"LogThroughALink", {"--output", "@/sub/t.FJL", "--log", "@/to-out"},
                 "/to-out names the same file as --output "},
        FileCase{"LogAHardLinkOfTheOutput", {"--output", "@/plain", "--log", "@/plain-too"},
                 "/plain-too names the same file as --output "},
        FileCase{"DumpOverTheOutput", {"--output", "@/d/tape.bin", "--dump", "@/d"},
                 "/d/tape.bin names the same file as --output "},
        FileCase{"DumpOverTheLog", {"--output", "@/sub/t.FJL", "--log", "@/sub/auxiliary.bin", "--dump", "@/sub/"},
                 "/sub/auxiliary.bin names the same file as --log "},
        FileCase{"OutputIsTheDumpFolder", {"--output", "@/sub/d", "--dump", "@/sub/d"},
                 "/sub/d names the same file as --output "}),
    [](const ::testing::TestParamInfo<FileCase>& param) { return std::string(param.param.name); });

// The help in each language: an example, the simulator and the dialout
// group, nothing wider than a terminal.
TEST(CliHelp, UsageOnStandardOutputAndStatusZero) {
  const struct {
    Language language;
    const char* usage;
    const char* example;
  } cases[] = {
      {Language::English, "fjl-restore-cli --port PORT --output FILE",
       "  fjl-restore-cli --port /dev/ttyUSB0 --output tape.FJL\n"},
      {Language::Russian, "fjl-restore-cli --port ПОРТ --output ФАЙЛ",
       "  fjl-restore-cli --port /dev/ttyUSB0 --output tape.FJL\n"},
  };
  for (const auto& c : cases) {
    const CliResult r = RunCliWith({"--help"}, {}, false, nullptr, {}, {}, c.language);
    EXPECT_EQ(r.status, kExitRestored);
    EXPECT_NE(r.out.find(c.usage), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(c.example), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("110 300 600 1200 2400 4800 9600 19200 38400 57600 115200"), std::string::npos);
    EXPECT_NE(r.out.find("  fjl-printer-sim &\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("sudo usermod -aG dialout $USER"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find('{'), std::string::npos) << r.out;  // every {name} filled in
    EXPECT_TRUE(r.err.empty());
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
      const auto width = std::count_if(line.begin(), line.end(), [](char ch) { return (ch & 0xC0) != 0x80; });
      EXPECT_LE(width, 79) << line;
    }
  }
}

TEST(CliVersion, OneLineOnStandardOutputAndAtopTheHelp) {
  const CliResult r = RunCliWith({"--version"});
  EXPECT_EQ(r.status, kExitRestored);
  EXPECT_TRUE(std::regex_match(r.out, std::regex("fjl-restore-cli [0-9]+\\.[0-9]+(\\.[0-9]+)*\n"))) << r.out;
  EXPECT_TRUE(r.err.empty());
  EXPECT_EQ(RunCliWith({"--help"}).out.substr(0, r.out.size() + 1), r.out + "\n");

  // Like --help, it stands before a restoration, but --help wins.
  EXPECT_EQ(Parse({"--port", "x", "--output", "y", "--version"}).command, CliCommand::Version);
  EXPECT_EQ(Parse({"--version", "--list-ports"}).command, CliCommand::Version);
  EXPECT_EQ(Parse({"--version", "-h"}).command, CliCommand::Help);
  EXPECT_FALSE(Parse({"--version=2"}).ok());
  EXPECT_FALSE(Parse({"--version", "--version"}).ok());
}

TEST(CliListPorts, ExtraPortsFollowTheSystemsOnePerLine) {
  const port::ScopedPortDiscovery discovery;
  const CliResult r = RunCliWith({"--list-ports"}, {}, false, nullptr, {"/dev/pts/91", "/tmp/printer-link"});
  EXPECT_EQ(r.status, kExitRestored);
  const std::string tail = "/dev/pts/91\n/tmp/printer-link\n";
  ASSERT_GE(r.out.size(), tail.size());
  EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
  // A listing without them does not show them.
  EXPECT_EQ(RunCliWith({"--list-ports"}).out.find("/dev/pts/91"), std::string::npos);
}

}  // namespace
}  // namespace fjl::cli::testing
