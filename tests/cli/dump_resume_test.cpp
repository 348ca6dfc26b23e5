// fjl-restore-cli keeping a download in a dump folder as it arrives, going
// on with it after the line was cut, and restoring a dump without the
// printer: every path ends in the same FJL file as one uninterrupted run.
//
// The small journal is served in chunks of 50 bytes: with --dump the serial
// number read comes first, then the tape's three flash reads and the
// auxiliary area's two.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "e2e/fault_harness.h"
#include "sim/lib/fault_plan.h"
#include "sim/lib/in_process_channel.h"

namespace fjl::cli::testing {
namespace {

const std::string kDone = "Успешно. Чтение контрольной ленты завершено.\n";

std::unique_ptr<sim::Simulator> Chunked(sim::PrinterModel model = SmallJournalPrinter()) {
  sim::SimulatorOptions options;
  options.chunk_size = 50;
  return std::make_unique<sim::Simulator>(std::move(model), options);
}

class DumpResume : public ::testing::Test {
 protected:
  std::string Output() const { return folder_ / "tape.FJL"; }
  std::string Dump() const { return folder_ / "dump"; }
  std::string Whole() const { return FjlBytes(SmallJournalLines()); }

  ScratchFolder folder_;
};

// The cable is pulled at the first, a middle and the last chunk of each
// area (and twice in one case); each resume goes on where the dump ends.
TEST_F(DumpResume, AResumedDownloadGivesTheSameFileAsAnUninterruptedOne) {
  struct Case {
    const char* name;
    const char* fault;  // hang-ups at these flash reads
    int resumes;
  };
  const Case cases[] = {
      {"first tape chunk", "hangup:cmd=241,limit=1", 1},
      {"middle tape chunk", "hangup:cmd=241,every=2,limit=1", 1},
      {"last tape chunk", "hangup:cmd=241,every=3,limit=1", 1},
      {"first auxiliary chunk", "hangup:cmd=241,every=4,limit=1", 1},
      {"last auxiliary chunk", "hangup:cmd=241,every=5,limit=1", 1},
      {"two cuts", "hangup:cmd=241,every=2,limit=2", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(Dump());
    std::filesystem::remove(Output());
    auto printer = Chunked();
    printer->AddFault(sim::ParseFaultRule(c.fault));
    e2e::PluggablePrinter plug(*printer);

    const CliResult cut = RunCliWith({"--port", plug.Port(), "--output", Output(), "--dump", Dump()});
    EXPECT_EQ(cut.status, kExitStepFailed) << cut.err;
    EXPECT_FALSE(Exists(Output()));
    CliResult resumed;
    for (int i = 0; i < c.resumes; ++i) {
      plug.Plug();
      resumed = RunCliWith({"--resume", Dump(), "--port", plug.Port(), "--output", Output()});
    }
    EXPECT_EQ(resumed.status, kExitRestored) << resumed.err;
    EXPECT_EQ(ReadBytes(Output()), Whole());
    // The dump holds the tape whole, as an uninterrupted run leaves it: the
    // three chunks of 50 bytes the printer sent, erased flash (0xFF) past
    // the journal's end.
    const SmallJournal journal = MakeSmallJournal();
    std::string tape(journal.tape.begin(), journal.tape.end());
    tape.resize(150, '\xFF');
    EXPECT_EQ(ReadBytes(Dump() + "/tape.bin"), tape);
  }
}

TEST_F(DumpResume, AnotherPrinterIsRefusedAndNothingIsRead) {
  auto first = Chunked();
  first->AddFault(sim::ParseFaultRule("hangup:cmd=241,every=2,limit=1"));
  {
    e2e::PluggablePrinter plug(*first);
    ASSERT_EQ(RunCliWith({"--port", plug.Port(), "--output", Output(), "--dump", Dump()}).status, kExitStepFailed);
  }
  sim::PrinterModel other_model = SmallJournalPrinter();
  other_model.identity.serial_number = "99999999";
  auto other = Chunked(other_model);
  e2e::PluggablePrinter plug(*other);

  const CliResult r = RunCliWith({"--resume", Dump(), "--port", plug.Port(), "--output", Output()});
  EXPECT_EQ(r.status, kExitStepFailed);
  EXPECT_EQ(r.err, "the dump in " + Dump() + " was taken from the printer with serial number 07104512, but the "
                   "printer on " + plug.Port() + " has 99999999: nothing was read\n");
  for (const sim::Request& request : other->Requests()) EXPECT_NE(request.command, 0xF1);
  EXPECT_FALSE(Exists(Output()));
}

// A dump taken by a complete run restores offline into the same bytes; an
// answer missing from it is silence, and the file says it may lack that.
TEST_F(DumpResume, ADumpRestoresWithoutThePrinter) {
  auto printer = Chunked();
  const CliResult live = RunCliWith({"--port", "sim", "--output", Output(), "--dump", Dump()},
                                    sim::InProcessOpener(*printer));
  ASSERT_EQ(live.status, kExitRestored) << live.err;

  const std::string offline = folder_ / "offline.FJL";
  const CliResult r = RunCliWith({"--from-dump", Dump(), "--output", offline});
  EXPECT_EQ(r.status, kExitRestored) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(ReadBytes(offline), ReadBytes(Output()));
  EXPECT_EQ(ReadBytes(offline), Whole());

  // Take the answer to the second tax rate read (0x48, group 1) out.
  std::string answers = ReadBytes(Dump() + "/answers.txt");
  const std::size_t at = answers.find("\n48 00000000 \"482913;1;\"");
  ASSERT_NE(at, std::string::npos) << answers;
  answers.erase(at, answers.find('\n', at + 1) - at);
  WriteBytes(Dump() + "/answers.txt", std::vector<std::uint8_t>(answers.begin(), answers.end()));

  const CliResult gap = RunCliWith({"--from-dump", Dump(), "--output", offline});
  EXPECT_EQ(gap.status, kExitIncomplete);
  EXPECT_EQ(gap.err,
            "Налог Б:\n  Таймаут устройства! Ошибка!\n"
            "fjl-restore-cli: the FJL file was written, but it may be incomplete: tax group Б not read; 1 read(s) "
            "had no recorded answer.\n");
  std::vector<std::string> without_b = SmallJournalLines();
  std::erase(without_b, "Налог Б, тип=Вложенный, ставка=7.00, название=НДС 7%");
  EXPECT_EQ(FjlLines(ReadBytes(offline)), without_b);
}

TEST_F(DumpResume, AFolderThatIsNoDumpIsAUsageError) {
  std::filesystem::create_directories(Dump());
  const CliResult r = RunCliWith({"--from-dump", Dump(), "--output", Output()});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("state.txt"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace fjl::cli::testing
