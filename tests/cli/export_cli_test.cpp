// --export json: the sample journal's tape as data, checked against the
// schema the package ships, beside the FJL file of the same run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cli/cli_options.h"
#include "cli_test_support.h"
#include "sim/lib/in_process_channel.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"

namespace fjl::cli {
namespace {

using namespace testing;

const std::string kSourceDir = FJL_SOURCE_DIR;

TEST(CliExport, SampleJournalJsonMeetsTheShippedSchema) {
  ScratchFolder folder;
  sim::Simulator simulator(sim::SamplePrinterModel());
  const CliResult r = RunCliWith(
      {"--port", "sim", "--output", folder / "t.FJL", "--export", "json", folder / "tape.json"},
      sim::InProcessOpener(simulator));
  ASSERT_EQ(r.status, kExitRestored) << r.err;
  EXPECT_FALSE(ReadBytes(folder / "t.FJL").empty());
  const std::string json = ReadBytes(folder / "tape.json");
  // The sample printer's identity and its first tax group, as it answers them.
  EXPECT_NE(json.find("\"serial_number\": \"07104512\""), std::string::npos);
  EXPECT_NE(json.find("\"name\": \"НДС 20%\""), std::string::npos);

  const std::string command = "python3 " + kSourceDir + "/tests/tapedata/validate_schema.py " + kSourceDir +
                              "/packaging/schema/tape.schema.json " + (folder / "tape.json");
  EXPECT_EQ(std::system(command.c_str()), 0) << command;
}

TEST(CliExport, CommandLineRules) {
  struct Case {
    std::vector<std::string> args;
    std::string error;  // empty: accepted
  };
  const Case cases[] = {
      {{"--from-dump", "d", "--export", "json", "t.json"}, ""},
      {{"--port", "p", "--export", "json", "t.json"}, "--output is required"},
      {{"--from-dump", "d", "--export", "xml", "t.xml"}, "--export takes json FILE or csv DIR, not 'xml'"},
      {{"--from-dump", "d", "--export", "json"}, "--export json needs a file name"},
      {{"--from-dump", "d", "--export", "json", "a", "--export", "json", "b"}, "--export json is given more than once"},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.args);
    EXPECT_EQ(parsed.error, c.error) << c.args.size();
  }
}

}  // namespace
}  // namespace fjl::cli
