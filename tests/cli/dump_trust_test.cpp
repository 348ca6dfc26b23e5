// A dump folder is trusted only as far as it can be proven: a resume over
// a tape that changed since the cut, an image damaged on the disk, answers
// of another dump, a folder already holding one, a second writer: each is
// refused with its reason, and nothing is written over what was kept.
//
// The small journal in chunks of 50 bytes: the tape takes three flash reads
// (the end marker is in the third), the auxiliary area two.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "e2e/fault_harness.h"
#include "platform/file_lock.h"
#include "sim/lib/fault_plan.h"
#include "sim/lib/in_process_channel.h"

namespace fjl::cli::testing {
namespace {

std::unique_ptr<sim::Simulator> Chunked(sim::PrinterModel model = SmallJournalPrinter(),
                                        std::vector<const char*> faults = {}) {
  sim::SimulatorOptions options;
  options.chunk_size = 50;
  for (const char* rule : faults) options.faults.push_back(sim::ParseFaultRule(rule));
  return std::make_unique<sim::Simulator>(std::move(model), options);
}

// The small journal's printer with one byte of an area changed, or its tape
// grown by one more receipt.
sim::PrinterModel Changed(std::size_t region, std::size_t at) {
  sim::PrinterModel model = SmallJournalPrinter();
  model.flash[region].image[at] ^= 0x01;
  return model;
}

sim::PrinterModel Cleared() {
  sim::PrinterModel model = SmallJournalPrinter();
  model.flash[0].image = {0xFF};
  return model;
}

sim::PrinterModel Grown() {
  sim::PrinterModel model = SmallJournalPrinter();
  sim::Bytes& tape = model.flash[0].image;
  tape.pop_back();  // the end marker
  sim::TapeBuilder more;
  more.ReceiptOpen({.operator_index = 0, .pos_number = 2, .receipt_kind = 0})
      .TotalPrint()
      .FinalPayment({.payment_form = 0, .amount = 100, .change = 0})
      .ReceiptClose({.document_number = 9, .when = sim::BcdDateTime(4, 1, 25, 10, 0), .receipt_number = 13});
  const sim::Bytes added = more.End();
  tape.insert(tape.end(), added.begin(), added.end());
  return model;
}

class DumpTrust : public ::testing::Test {
 protected:
  std::string Output() const { return folder_ / "tape.FJL"; }
  std::string Dump() const { return folder_ / "dump"; }

  // A --dump run cut by the line hanging up at flash read `cut`.
  void CutDump(int cut, sim::PrinterModel model = SmallJournalPrinter()) {
    const std::string rule = "hangup:cmd=241,every=" + std::to_string(cut) + ",limit=1";
    auto printer = Chunked(std::move(model), {rule.c_str()});
    e2e::PluggablePrinter plug(*printer);
    ASSERT_EQ(RunCliWith({"--port", plug.Port(), "--output", Output(), "--dump", Dump()}).status, kExitStepFailed);
  }
  CliResult Resume(sim::Simulator& printer) {
    return RunCliWith({"--resume", Dump(), "--port", "sim", "--output", Output()}, sim::InProcessOpener(printer));
  }
  CliResult FromDump() { return RunCliWith({"--from-dump", Dump(), "--output", Output()}); }
  void Corrupt(const std::string& name, std::size_t at) {
    std::string bytes = ReadBytes(Dump() + "/" + name);
    bytes[at] = static_cast<char>(bytes[at] ^ 0x40);
    WriteBytes(Dump() + "/" + name, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  }

  ScratchFolder folder_;
};

std::string Refusal(const std::string& what, const std::string& dump, const std::string& address) {
  return "the printer's " + what + " differs from the dump in " + dump + " at " + address +
         ": it was cleared or rewritten since, or this is another printer. Nothing was read and the dump is kept "
         "as it is; start a new dump (--dump into an empty folder)\n";
}

TEST_F(DumpTrust, AResumeOverAChangedPrinterIsRefusedAndTheDumpKept) {
  struct Case {
    const char* name;
    int cut;                 // the flash read the first run was cut at
    sim::PrinterModel then;  // the printer at the resume
    const char* what;
    const char* address;
  };
  const Case cases[] = {
      // Stored: tape [0, 50); the printer now reads erased flash from its first byte.
      {"tape cleared", 2, Cleared(), "control tape", "0x10005BB7"},
      // Stored: tape [0, 100), both chunks compared; byte 60 is another.
      {"another unit, same serial", 3, Changed(0, 60), "control tape", "0x10005BF3"},
      // Stored: the whole tape and auxiliary [0, 50); article name byte 10 is another.
      {"auxiliary area rewritten", 5, Changed(1, 10), "auxiliary data (articles, comments)", "0x5EE5F"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(Dump());
    CutDump(c.cut);
    const std::string state = ReadBytes(Dump() + "/state.txt");
    auto printer = Chunked(c.then);

    const CliResult r = Resume(*printer);
    EXPECT_EQ(r.status, kExitStepFailed);
    EXPECT_EQ(r.err, Refusal(c.what, Dump(), c.address));
    EXPECT_FALSE(Exists(Output()));
    EXPECT_EQ(ReadBytes(Dump() + "/state.txt"), state);
  }
}

// Records the printer added after the cut are read on: the file is the one
// an uninterrupted run would write now, whether the cut came in the tape or
// after its download had finished.
TEST_F(DumpTrust, ATapeThatGrewSinceTheCutIsReadOnToItsNewEnd) {
  auto uncut = Chunked(Grown());
  const std::string whole = folder_ / "whole.FJL";
  ASSERT_EQ(RunCliWith({"--port", "sim", "--output", whole}, sim::InProcessOpener(*uncut)).status, kExitRestored);
  for (const int cut : {2, 4}) {
    SCOPED_TRACE("cut at flash read " + std::to_string(cut));
    std::filesystem::remove_all(Dump());
    CutDump(cut);
    auto printer = Chunked(Grown());
    const CliResult r = Resume(*printer);
    EXPECT_EQ(r.status, kExitRestored) << r.err;
    EXPECT_EQ(ReadBytes(Output()), ReadBytes(whole));
  }
}

// A dump whose serial number read failed matches no printer by that number;
// its stored bytes decide: the same tape goes on, another is refused.
TEST_F(DumpTrust, AnUnknownSerialNumberLeavesItToTheStoredBytes) {
  sim::PrinterModel model = SmallJournalPrinter();
  auto first = Chunked(model, {"error:cmd=0x42,code=0106,limit=1", "hangup:cmd=241,every=2,limit=1"});
  {
    e2e::PluggablePrinter plug(*first);
    ASSERT_EQ(RunCliWith({"--port", plug.Port(), "--output", Output(), "--dump", Dump()}).status, kExitStepFailed);
  }
  ASSERT_NE(ReadBytes(Dump() + "/state.txt").find("\nserial=\n"), std::string::npos);

  auto other = Chunked(Cleared(), {"error:cmd=0x42,code=0106,limit=1"});
  const CliResult refused = Resume(*other);
  EXPECT_EQ(refused.status, kExitStepFailed);
  EXPECT_EQ(refused.err, "the serial number of the printer on sim is not known: only the stored bytes compared "
                         "with the printer's tell it is the same tape\n" +
                             Refusal("control tape", Dump(), "0x10005BB7"));

  auto same = Chunked();
  const CliResult resumed = Resume(*same);
  EXPECT_EQ(resumed.status, kExitRestored) << resumed.err;
  EXPECT_EQ(ReadBytes(Output()), FjlBytes(SmallJournalLines()));
  EXPECT_NE(ReadBytes(Dump() + "/state.txt").find("\nserial=07104512\n"), std::string::npos);
}

// Every file of the folder is checked before anything is read or restored.
TEST_F(DumpTrust, ADamagedOrMixedFolderIsRefusedBeforeAnythingIsRead) {
  auto printer = Chunked();
  const std::string other = folder_ / "other";
  ASSERT_EQ(RunCliWith({"--port", "sim", "--output", folder_ / "other.FJL", "--dump", other},
                       sim::InProcessOpener(*printer))
                .status,
            kExitRestored);
  struct Case {
    const char* name;
    std::function<void()> damage;
    std::string why;
  };
  const std::vector<Case> cases = {
      {"a flipped byte in the tape", [&] { Corrupt("tape.bin", 10); }, "tape.bin: dump damaged"},
      {"a flipped byte in the auxiliary data", [&] { Corrupt("auxiliary.bin", 3); }, "auxiliary.bin: dump damaged"},
      {"a folder in place of an image",
       [&] {
         std::filesystem::remove(Dump() + "/tape.bin");
         std::filesystem::create_directory(Dump() + "/tape.bin");
       },
       "tape.bin: is a folder"},
      {"answers of another dump",
       [&] { std::filesystem::copy_file(other + "/answers.txt", Dump() + "/answers.txt",
                                        std::filesystem::copy_options::overwrite_existing); },
       "answers.txt: belongs to another dump"},
      {"a speed the port is never driven at",
       [&] {
         std::string state = ReadBytes(Dump() + "/state.txt");
         state.replace(state.find("speed=9600"), 10, "speed=12345");
         WriteBytes(Dump() + "/state.txt", std::vector<std::uint8_t>(state.begin(), state.end()));
       },
       "state.txt: speed=12345 is not a line speed"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(Dump());
    std::filesystem::remove(Output());
    ASSERT_EQ(RunCliWith({"--port", "sim", "--output", folder_ / "first.FJL", "--dump", Dump()},
                         sim::InProcessOpener(*printer))
                  .status,
              kExitRestored);
    c.damage();
    const CliResult offline = FromDump();
    EXPECT_EQ(offline.status, kExitUsage);
    EXPECT_NE(offline.err.find(Dump() + "/" + c.why), std::string::npos) << offline.err;
    EXPECT_FALSE(Exists(Output()));
    if (std::string(c.name).starts_with("answers")) continue;  // a resume writes new answers anyway
    const std::size_t asked = printer->Requests().size();
    const CliResult resumed = Resume(*printer);
    EXPECT_EQ(resumed.status, kExitUsage);
    EXPECT_EQ(resumed.err, offline.err);
    EXPECT_EQ(printer->Requests().size(), asked);
  }
}

TEST_F(DumpTrust, AFolderIsWrittenByOneRunAndHoldsOneDump) {
  auto printer = Chunked();
  const auto dump_into = [&] {
    return RunCliWith({"--port", "sim", "--output", Output(), "--dump", Dump()}, sim::InProcessOpener(*printer));
  };
  {
    std::filesystem::create_directory(Dump());
    platform::FileLock other_run;
    ASSERT_TRUE(other_run.Acquire(Dump() + "/dump.lock").Ok());
    const CliResult r = dump_into();
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_EQ(r.err, Dump() + ": another run is writing this dump folder\n");
    EXPECT_TRUE(printer->Requests().empty());
  }
  ASSERT_EQ(dump_into().status, kExitRestored);
  const std::string tape = ReadBytes(Dump() + "/tape.bin");
  const CliResult again = dump_into();
  EXPECT_EQ(again.status, kExitUsage);
  EXPECT_EQ(again.err, Dump() + ": the folder already holds a dump; use --resume " + Dump() + ", or an empty folder\n");
  EXPECT_EQ(ReadBytes(Dump() + "/tape.bin"), tape);

  const CliResult over = RunCliWith({"--from-dump", Dump(), "--output", Dump() + "/tape.bin"});
  EXPECT_EQ(over.status, kExitUsage);
  EXPECT_EQ(over.err, "--from-dump " + Dump() + "/tape.bin names the same file as --output " + Dump() + "/tape.bin\n");
  EXPECT_EQ(ReadBytes(Dump() + "/tape.bin"), tape);
}

TEST_F(DumpTrust, AReadOnlyFolderIsRefusedBeforeTheResumeReadsAnything) {
  e2e::TmpfsMount mount(folder_ / "mnt", "1m");
  if (!mount.Mounted()) GTEST_SKIP() << mount.Why();
  const std::string dump = folder_ / "mnt/dump";
  {
    auto first = Chunked(SmallJournalPrinter(), {"hangup:cmd=241,every=2,limit=1"});
    e2e::PluggablePrinter plug(*first);
    ASSERT_EQ(RunCliWith({"--port", plug.Port(), "--output", Output(), "--dump", dump}).status, kExitStepFailed);
  }
  ASSERT_TRUE(mount.SetReadOnly(true));
  auto printer = Chunked();
  const CliResult r =
      RunCliWith({"--resume", dump, "--port", "sim", "--output", Output()}, sim::InProcessOpener(*printer));
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_EQ(r.err, dump + ": Диск доступен только для чтения\n");
  EXPECT_TRUE(printer->Requests().empty());
}

// The line of answers.txt that answers `command` (two hex digits), and
// its raw reply, the last quoted text.
std::string AnswerLine(const std::string& answers, const std::string& command) {
  const std::size_t at = answers.find("\n" + command + " ") + 1;
  return answers.substr(at, answers.find('\n', at) - at);
}
std::string RawReplyOf(const std::string& line) { return line.substr(line.rfind(" \"") + 1); }

// Offline, the recorded answers meet the same checks as the live replies
// did: a read the live run lost stays lost, and a frame of another command
// is no answer. Live and offline give the same status and the same bytes.
TEST_F(DumpTrust, RecordedAnswersAreCheckedAsTheLiveRepliesWere) {
  {
    // A SYN inside the first tax rate reply breaks its checksum on the line;
    // the bytes kept (SYN is not kept) would make a good frame.
    auto printer = Chunked(SmallJournalPrinter(), {"syn-inside:cmd=0x48,count=1,limit=1"});
    const CliResult live = RunCliWith({"--port", "sim", "--output", folder_ / "live.FJL", "--dump", Dump()},
                                      sim::InProcessOpener(*printer));
    ASSERT_EQ(live.status, kExitIncomplete) << live.err;
    const CliResult offline = FromDump();
    EXPECT_EQ(offline.status, kExitIncomplete) << offline.err;
    EXPECT_EQ(ReadBytes(Output()), ReadBytes(folder_ / "live.FJL"));
  }
  {
    // The operator read's reply replaced by the serial number's frame, as
    // from a printer answering another request: live, such a frame is
    // dropped and the read meets silence.
    std::filesystem::remove_all(Dump());
    std::filesystem::remove(Output());
    auto printer = Chunked();
    ASSERT_EQ(RunCliWith({"--port", "sim", "--output", folder_ / "whole.FJL", "--dump", Dump()},
                         sim::InProcessOpener(*printer))
                  .status,
              kExitRestored);
    std::string answers = ReadBytes(Dump() + "/answers.txt");
    const std::string operator_line = AnswerLine(answers, "30");
    std::string forged = operator_line;
    forged.replace(forged.rfind(" \"") + 1, std::string::npos, RawReplyOf(AnswerLine(answers, "42")));
    answers.replace(answers.find(operator_line), operator_line.size(), forged);
    WriteBytes(Dump() + "/answers.txt", std::vector<std::uint8_t>(answers.begin(), answers.end()));
    const CliResult offline = FromDump();

    auto silent = Chunked(SmallJournalPrinter(), {"silence:cmd=0x30,limit=1"});
    const CliResult live =
        RunCliWith({"--port", "sim", "--output", folder_ / "silent.FJL"}, sim::InProcessOpener(*silent));
    const std::string lost = "Оператор 2 \n  Таймаут устройства! Ошибка!\n";
    EXPECT_EQ(live.status, kExitStepFailed);
    EXPECT_TRUE(live.err.ends_with(lost)) << live.err;
    EXPECT_EQ(offline.status, kExitStepFailed);
    EXPECT_EQ(offline.err, lost);
    EXPECT_FALSE(Exists(Output()));
  }
}

}  // namespace
}  // namespace fjl::cli::testing
