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
#include "dump/dump_folder.h"
#include "e2e/fault_harness.h"
#include "sim/lib/fault_plan.h"
#include "sim/lib/in_process_channel.h"
#include "tape/flash_image.h"
#include "wizard/fake_views.h"

namespace fjl::cli::testing {
namespace {

// In 50-byte chunks the tape takes three reads, the auxiliary area two.
const std::string kTapeDone = TapeDone(150);
const std::string kBothDone = TapeDone(150) + AuxDone(100);
const std::string kLineGone = "Ошибка! Связь с регистратором потеряна: порт отключен! Чтение данных остановлено.\n";

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
  EXPECT_EQ(r.err, WrittenLine(offline) + kSmallJournalCheck);
  EXPECT_EQ(ReadBytes(offline), ReadBytes(Output()));
  EXPECT_EQ(ReadBytes(offline), Whole());

  // Take the answer to the second tax rate read (0x48, group 1) out.
  std::string answers = ReadBytes(Dump() + "/answers.txt");
  const std::size_t at = answers.find("\n48 00000000 \"482913;1;\"");
  ASSERT_NE(at, std::string::npos) << answers;
  answers.erase(at, answers.find('\n', at + 1) - at);
  WriteBytes(Dump() + "/answers.txt", std::vector<std::uint8_t>(answers.begin(), answers.end()));

  const CliResult gap = RunCliWith({"--from-dump", Dump(), "--output", offline});
  std::vector<std::string> without_b = SmallJournalLines();
  std::erase(without_b, "Налог Б, тип=Вложенный, ставка=7.00, название=НДС 7%");
  EXPECT_EQ(gap.status, kExitIncomplete);
  EXPECT_EQ(gap.err,
            "Налог Б:\n  Таймаут устройства! Ошибка!\n" + WrittenLine(offline, without_b) + kSmallJournalCheck +
            "fjl-restore-cli: the FJL file was written, but it may be incomplete: tax group Б not read; 1 read(s) "
            "had no recorded answer.\n");
  EXPECT_EQ(FjlLines(ReadBytes(offline)), without_b);
}

TEST_F(DumpResume, AFolderThatIsNoDumpIsAUsageError) {
  std::filesystem::create_directories(Dump());
  const CliResult r = RunCliWith({"--from-dump", Dump(), "--output", Output()});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("state.txt"), std::string::npos) << r.err;
}


// ---- Downloads kept in the user's folder, shared with the wizard ----------

class KeptDownloads : public DumpResume {
 protected:
  std::filesystem::path Root() const { return folder_.Path() / "cache"; }
  std::string Kept() const { return (Root() / "07104512").string(); }
  CliResult Run(const std::vector<std::string>& args, sim::Simulator& printer) const {
    return RunCliWith(args, sim::InProcessOpener(printer), false, nullptr, {}, Root());
  }
  std::vector<std::string> Plain() const { return {"--port", "sim", "--output", Output()}; }
  std::vector<std::string> ResumeAuto() const { return {"--resume", "auto", "--port", "sim", "--output", Output()}; }
  std::int64_t KeptTapeBytes() const {
    const platform::Result<dump::DumpState> state = dump::LoadState(Kept());
    return state ? state->tape.stored : -1;
  }
};

// The line drops at the auxiliary area's first chunk: the run says where
// the download is kept and the command that goes on, and that command
// writes the uncut run's file.
TEST_F(KeptDownloads, APlainRunKeepsItsDownloadAndResumeAutoGoesOn) {
  auto printer = Chunked();
  printer->AddFault(sim::ParseFaultRule("hangup:cmd=241,every=4,limit=1"));
  const CliResult cut = Run(Plain(), *printer);
  EXPECT_EQ(cut.status, kExitStepFailed);
  EXPECT_EQ(cut.err, kTapeDone + kLineGone + "the download so far is kept in " + Kept() +
                         "; this command goes on with it:\nfjl-restore-cli --resume auto --port sim --output " +
                         Output() + "\n");
  EXPECT_EQ(KeptTapeBytes(), 150);

  const CliResult resumed = Run(ResumeAuto(), *printer);
  EXPECT_EQ(resumed.status, kExitRestored) << resumed.err;
  EXPECT_EQ(resumed.err, kBothDone + WrittenLine(Output()) + kSmallJournalCheck);
  EXPECT_EQ(ReadBytes(Output()), Whole());
}

// Nothing kept for the printer, or no cache folder at all: no flash read.
TEST_F(KeptDownloads, ResumeAutoWithNothingKeptSaysWhereItLooked) {
  auto printer = Chunked();
  std::filesystem::create_directories(Root());
  const CliResult r = Run(ResumeAuto(), *printer);
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_EQ(r.err, "--resume auto: there is no kept download of the printer with serial number 07104512 (on sim): "
                   "looked in " + Kept() + "\n");
  const CliResult nowhere = RunCliWith(ResumeAuto(), sim::InProcessOpener(*printer));
  EXPECT_EQ(nowhere.status, kExitUsage);
  EXPECT_EQ(nowhere.err, "--resume auto: this user has no cache folder, so no download was kept; use --resume DIR\n");
  EXPECT_EQ(printer->Requests().size(), 1u);
}

// The printer runs at 19200 baud and hears nothing at the default 9600:
// --resume auto takes the speed the kept download was read at.
TEST_F(KeptDownloads, ResumeAutoOpensThePortAtTheKeptDownloadsSpeed) {
  auto printer = Chunked();
  printer->AddFault(sim::ParseFaultRule("hangup:cmd=241,every=2,limit=1"));
  e2e::PluggablePrinter plug(*printer, 19200);
  const CliResult cut =
      RunCliWith({"--port", plug.Port(), "--speed", "19200", "--output", Output()}, {}, false, nullptr, {}, Root());
  ASSERT_EQ(cut.status, kExitStepFailed) << cut.err;
  EXPECT_EQ(KeptTapeBytes(), 50);

  plug.Plug();
  const CliResult resumed =
      RunCliWith({"--resume", "auto", "--port", plug.Port(), "--output", Output()}, {}, false, nullptr, {}, Root());
  EXPECT_EQ(resumed.status, kExitRestored) << resumed.err;
  EXPECT_EQ(ReadBytes(Output()), Whole());
}

// A cache folder that takes nothing costs the keeping only, said once.
TEST_F(KeptDownloads, AnUnwritableFolderIsSaidOnceAndTheRunGoesOn) {
  WriteBytes(Root().string(), std::vector<std::uint8_t>{'x'});
  auto printer = Chunked();
  const CliResult r = Run(Plain(), *printer);
  EXPECT_EQ(r.status, kExitRestored) << r.err;
  EXPECT_EQ(r.err, "the download is not kept: " + Kept() + ": Часть пути не является папкой\n" + kBothDone +
                       WrittenLine(Output()) + kSmallJournalCheck);
  EXPECT_EQ(ReadBytes(Output()), Whole());
}

// A download the wizard kept goes on from the command line, and the other
// way round; while the wizard keeps the folder, the command line keeps off.
TEST_F(KeptDownloads, TheWizardAndTheCommandLineGoOnWithEachOthersDownloads) {
  {
    sim::SimulatorOptions options = wizard::testing::SmallChunks();
    options.faults.push_back(sim::ParseFaultRule("error:cmd=241,code=0106,every=3,limit=1"));
    wizard::testing::FakeWizard w(options, Root(), SmallJournalPrinter());
    w.Connect();
    w.steps.step1.ReadTape();
    ASSERT_FALSE(w.view1.IsEnabled(wizard::Step1Control::NextButton));
    ASSERT_EQ(KeptTapeBytes(), 100);
    auto printer = Chunked();
    const CliResult busy = Run(ResumeAuto(), *printer);
    EXPECT_EQ(busy.status, kExitUsage);
    EXPECT_EQ(busy.err, Kept() + ": another run is writing this dump folder\n");
  }
  auto printer = Chunked();
  const CliResult resumed = Run(ResumeAuto(), *printer);
  EXPECT_EQ(resumed.status, kExitRestored) << resumed.err;
  EXPECT_EQ(ReadBytes(Output()), Whole());

  printer->AddFault(sim::ParseFaultRule("hangup:cmd=241,every=2,limit=1"));
  ASSERT_EQ(Run(Plain(), *printer).status, kExitStepFailed);
  {
    wizard::testing::FakeWizard w(wizard::testing::SmallChunks(), Root(), SmallJournalPrinter());
    w.ReachStep3();
    EXPECT_EQ(w.view1.messages.front(), wizard::ResumedMessage(tape::kTapeArea.first_address + 50, 50));
    w.steps.step3.Restore();
    EXPECT_EQ(w.view3.lines, SmallJournalLines());
  }
  // A plain run does not go on: it begins the folder anew.
  const std::string wizards_id = dump::LoadState(Kept())->id;
  ASSERT_EQ(Run(Plain(), *printer).status, kExitRestored);
  EXPECT_NE(dump::LoadState(Kept())->id, wizards_id);
}

}  // namespace
}  // namespace fjl::cli::testing
