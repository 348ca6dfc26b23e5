// --export json, --export csv and --report: the sample journal's tape as
// data, checked against the schema the package ships and read back as
// tables, beside the FJL file of the same run; the integrity check's line
// ends the run and a file that cannot be written is refused up front.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "cli/cli_options.h"
#include "cli_test_support.h"
#include "sim/lib/in_process_channel.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"
#include "tapedata/csv_reader.h"

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

const std::string kSampleCheck =
    "Проверка ленты: замечаний нет (документов 7, сквозные номера 100–106, с 25/12/08  08:55 по 25/12/08  20:00).\n";

// The sample journal as three tables, read back with the tests' own CSV
// reader: one row for each of its seven documents, eight sales and four
// payments, the values as the sample's records state them.
TEST(CliExport, SampleJournalCsvReadsBackAsTables) {
  ScratchFolder folder;
  sim::Simulator simulator(sim::SamplePrinterModel());
  // The folder is made when missing.
  const CliResult r = RunCliWith({"--port", "sim", "--output", folder / "t.FJL", "--export", "csv", folder / "tables",
                                  "--report", folder / "check.txt"},
                                 sim::InProcessOpener(simulator));
  ASSERT_EQ(r.status, kExitRestored) << r.err;
  // The sample's 42 records end in the tape's fourth chunk, its 17 auxiliary
  // records in the fourth; the file's own lines and bytes are counted.
  const std::string fjl = ReadBytes(folder / "t.FJL");
  EXPECT_EQ(r.err, kDownloadDone + "Control tape downloaded: 400 bytes, 42 records\n" + kDownloadDone +
                       "Auxiliary data downloaded: 400 bytes, 17 records\n" + (folder / "t.FJL") + " written: " +
                       std::to_string(FjlLines(fjl).size()) + " lines, " + std::to_string(fjl.size()) +
                       " bytes, all 42 records of the tape restored\n" +
                       kSampleCheck.substr(0, kSampleCheck.size() - 2) + "; отчёт — в " + (folder / "check.txt") +
                       ".\n");
  const auto table = [&folder](const std::string& name) {
    const std::string bytes = ReadBytes(folder / ("tables/" + name));
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    return tapedata::testing::ReadCsv(std::string_view(bytes).substr(3), ';');
  };
  const auto documents = table("documents.csv");
  ASSERT_EQ(documents.size(), 8u);
  // The morning float: 500.00 paid in by operator 4.
  EXPECT_EQ(documents[1], (tapedata::testing::CsvRow{"0", "cash_in", "1", "1", "100", "25/12/08  08:55",
                                                     "2008-12-25T08:55", "", "", "", "4", "Администратор", "0",
                                                     "0,00", "0,00", "500,00", "500,00"}));
  const auto items = table("items.csv");
  ASSERT_EQ(items.size(), 9u);
  // Its first sale: 2 loaves of bread at 8.50.
  EXPECT_EQ(items[1], (tapedata::testing::CsvRow{"23", "101", "29", "4820000000017", "Хлеб пшеничный", "3", "А",
                                                 "2,000", "8,50", "17,00", "0"}));
  const auto payments = table("payments.csv");
  ASSERT_EQ(payments.size(), 5u);
  EXPECT_EQ(payments[2], (tapedata::testing::CsvRow{"23", "101", "87", "1", "0", "НАЛИЧНЫМИ", "50,00", "18,64"}));

  const std::string report = ReadBytes(folder / "check.txt");
  EXPECT_EQ(report.rfind("\xEF\xBB\xBFПроверка контрольной ленты\r\nЗаводской номер: 07104512\r\n", 0), 0u) << report;
  EXPECT_NE(report.find("\r\nЗамечаний: 0\r\n"), std::string::npos) << report;
}

// A report named .json is JSON; a finding is said and the status stays 0.
TEST(CliExport, FindingsAreReportedWithoutChangingTheStatus) {
  ScratchFolder folder;
  sim::TapeBuilder tape;
  tape.ReceiptOpen({})
      .TotalPrint()
      .ReceiptClose({.document_number = 5, .when = sim::BcdDateTime(1, 2, 25, 10, 0), .receipt_number = 1});
  sim::Simulator simulator(sim::MakePrinterModel(sim::MakeSampleJournal().identity, tape.End(), sim::AuxBuilder().End()));
  const CliResult r = RunCliWith({"--port", "sim", "--output", folder / "t.FJL", "--report", folder / "check.JSON"},
                                 sim::InProcessOpener(simulator));
  EXPECT_EQ(r.status, kExitRestored) << r.err;
  EXPECT_NE(r.err.find("\nПроверка ленты: замечаний 1 — чек без оплаты: 1; подробно — в " + (folder / "check.JSON") +
                       ".\n"),
            std::string::npos)
      << r.err;
  const std::string report = ReadBytes(folder / "check.JSON");
  EXPECT_NE(report.find("\"rule\": \"receipt-unpaid\""), std::string::npos) << report;
}

TEST(CliExport, UnwritableDataFilesAreRefusedBeforeThePrinterIsAsked) {
  ScratchFolder folder;
  sim::Simulator simulator(sim::SamplePrinterModel());
  struct Case {
    std::vector<std::string> more;
    std::string error;
  };
  const Case cases[] = {
      {{"--report", folder / "missing/r.txt"}, folder / "missing/r.txt: "},
      {{"--export", "csv", folder / "missing/deeper"}, folder / "missing/deeper: "},
      {{"--report", folder / "t.FJL"}, "--report " + (folder / "t.FJL") + " names the same file as --output "},
      {{"--export", "json", folder / "x", "--report", folder / "x"}, "--report " + (folder / "x") + " names the same file"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--port", "sim", "--output", folder / "t.FJL"};
    args.insert(args.end(), c.more.begin(), c.more.end());
    const CliResult r = RunCliWith(args, sim::InProcessOpener(simulator));
    EXPECT_EQ(r.status, kExitUsage) << r.err;
    EXPECT_EQ(r.err.rfind(c.error, 0), 0u) << r.err;
  }
  EXPECT_TRUE(simulator.Requests().empty()) << "the printer is not asked";
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
      {{"--from-dump", "d", "--report", "r.txt"}, ""},
      {{"--from-dump", "d", "--export", "csv", "tables"}, ""},
      {{"--from-dump", "d", "--report"}, "option '--report' needs a value"},
      {{"--from-dump", "d", "--report", "a", "--report", "b"}, "option '--report' is given more than once"},
      {{"--find", "--report", "r.txt"}, "--find only looks for the printer: it takes --port, --speed and --password"},
      {{"--find", "--export", "json", "t.json"},
       "--find only looks for the printer: it takes --port, --speed and --password"},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = ParseCommandLine(c.args);
    EXPECT_EQ(parsed.error, c.error) << c.args.size();
  }
}

}  // namespace
}  // namespace fjl::cli
