// fjl-restore-cli against a misbehaving printer and unwritable files, run
// in-process over the real serial channel on a pseudo-terminal (the silent
// cases on the in-process channel's own clock): the exact lines on standard
// error, the exit status, an earlier FJL file left as it was, the dumps of
// what was received, and a second run that succeeds once the fault is gone.
//
// The small journal is served in chunks of 50 bytes: the tape's 104 bytes
// take three flash reads, the auxiliary area's 63 bytes two.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_test_support.h"
#include "e2e/fault_harness.h"
#include "sim/lib/fault_plan.h"
#include "sim/lib/in_process_channel.h"

namespace fjl::cli::testing {
namespace {

using namespace std::chrono_literals;
using e2e::Clock;

// In 50-byte chunks the tape's 104 bytes take three reads, the auxiliary
// area two.
const std::string kTapeDone = TapeDone(150);
const std::string kBothDone = TapeDone(150) + AuxDone(100);
const std::string kTimeout = "Ошибка! Таймаут устройства! Чтение данных остановлено.\n";
const std::string kLineGone = "Ошибка! Связь с регистратором потеряна: порт отключен! Чтение данных остановлено.\n";
const std::string kEarlier = "an earlier FJL file\r\n";


std::unique_ptr<sim::Simulator> Chunked(std::vector<const char*> faults = {}) {
  sim::SimulatorOptions options;
  options.chunk_size = 50;
  for (const char* rule_text : faults) options.faults.push_back(sim::ParseFaultRule(rule_text));
  return std::make_unique<sim::Simulator>(SmallJournalPrinter(), options);
}

std::string Prefix(const sim::Bytes& bytes, std::size_t n) { return std::string(bytes.begin(), bytes.begin() + n); }

class CliFault : public ::testing::Test {
 protected:
  std::string Output() const { return folder_ / "tape.FJL"; }
  std::string Dump() const { return folder_ / "dump"; }
  std::vector<std::string> Args(const std::string& port, std::vector<std::string> more = {}) const {
    std::vector<std::string> args{"--port", port, "--output", Output(), "--dump", Dump()};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  }
  // The closing lines of a run the line or a stop cut short: the dump kept
  // and the command that goes on with it.
  std::string GoOn(const std::string& port) const {
    return "the download so far is kept in " + Dump() + "; this command goes on with it:\n" +
           "fjl-restore-cli --resume " + Dump() + " --port " + port + " --output " + Output() + "\n";
  }
  void ExpectRestored(const CliResult& r) {
    EXPECT_EQ(r.status, kExitRestored) << r.err;
    EXPECT_EQ(r.err, kBothDone + WrittenLine(Output()) + kSmallJournalCheck);
    EXPECT_EQ(ReadBytes(Output()), FjlBytes(SmallJournalLines()));
  }

  ScratchFolder folder_;
  const SmallJournal journal_ = MakeSmallJournal();
};

TEST_F(CliFault, CablePulledAtFirstMiddleAndLastTapeChunk) {
  for (int reply = 1; reply <= 3; ++reply) {
    SCOPED_TRACE("hang-up at flash read " + std::to_string(reply));
    std::filesystem::remove_all(Dump());
    auto printer = Chunked();
    e2e::PluggablePrinter plug(*printer);
    WriteBytes(Output(), std::vector<std::uint8_t>(kEarlier.begin(), kEarlier.end()));
    printer->AddFault({.kind = sim::FaultKind::HangUp, .command = 241, .every = reply, .limit = 1});

    const auto start = Clock::now();
    const CliResult r = RunCliWith(Args(plug.Port()));
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(r.status, kExitStepFailed);
    EXPECT_EQ(r.err, kLineGone + GoOn(plug.Port()));
    EXPECT_EQ(ReadBytes(Output()), kEarlier);
    EXPECT_EQ(ReadBytes(Dump() + "/tape.bin"), Prefix(journal_.tape, static_cast<std::size_t>(reply - 1) * 50));
    EXPECT_FALSE(Exists(Dump() + "/auxiliary.bin"));

    plug.Plug();
    std::filesystem::remove_all(Dump());  // a new run into an empty folder
    ExpectRestored(RunCliWith(Args(plug.Port())));
  }
}

TEST_F(CliFault, SilentPrinterAtFirstAndLastAuxChunk) {
  // The tape takes flash reads 1 to 3; the auxiliary area's are 4 and 5.
  for (int aux_reply = 1; aux_reply <= 2; ++aux_reply) {
    SCOPED_TRACE("silent at auxiliary read " + std::to_string(aux_reply));
    std::filesystem::remove_all(Dump());
    auto printer = Chunked();
    printer->AddFault({.kind = sim::FaultKind::Silence, .command = 241, .every = 3 + aux_reply, .limit = 1});
    WriteBytes(Output(), std::vector<std::uint8_t>(kEarlier.begin(), kEarlier.end()));

    const CliResult r = RunCliWith(Args("sim"), sim::InProcessOpener(*printer));
    EXPECT_EQ(r.status, kExitStepFailed);
    EXPECT_EQ(r.err, kTapeDone + kTimeout + GoOn("sim"));
    EXPECT_EQ(ReadBytes(Output()), kEarlier);
    EXPECT_EQ(ReadBytes(Dump() + "/auxiliary.bin"), Prefix(journal_.aux, static_cast<std::size_t>(aux_reply - 1) * 50));
    // Whole chunks of the tape: its 104 bytes and the rest of the last chunk.
    EXPECT_EQ(ReadBytes(Dump() + "/tape.bin").substr(0, 104), Prefix(journal_.tape, 104));

    std::filesystem::remove_all(Dump());  // a new run into an empty folder
    std::filesystem::remove_all(Dump());  // a new run into an empty folder
  ExpectRestored(RunCliWith(Args("sim"), sim::InProcessOpener(*printer)));
  }
}

TEST_F(CliFault, FailingReadsOfTheRestorationLeaveTheEarlierFile) {
  struct Case {
    const char* rule_text;
    std::string last;  // the last write on standard error, before the command that goes on
    bool goes_on = false;  // the printer stopped answering: the run can go on later
  };
  const Case cases[] = {
      {"error:cmd=0x42,code=0106", "Ошибка GetSerialNumber!\n"},
      {"error:cmd=0x44,code=0106", "Ошибка GetFiscalNumber!\n"},
      {"error:cmd=0x46,code=0106", "Ошибка GetTaxIdNumber!\n"},
      {"error:cmd=0x30,code=0204", "Оператор 2 \n  Значение поля номер 2 выходит за допустимый диапазон!\n"},
      {"error:cmd=0x2E,code=0106", "Чтение форм оплаты:1 \n  Неверный пароль доступа!\n"},
      {"error:cmd=0x33,code=0101", "Параметры отдела:2 \n  Ошибка оборудования!\n Ошибка принтера!\n"},
      // A NAK carries no error code: the box names the read and no reason.
      {"nak:cmd=0x33", "Параметры отдела:2 \n  Регистратор не принял запрос (NAK)!\n"},
      {"hangup:cmd=0x44,limit=1", "Связь с регистратором потеряна: порт отключен! GetFiscalNumber Ошибка!\n", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule_text);
    std::filesystem::remove_all(Dump());
    auto printer = Chunked({c.rule_text});
    e2e::PluggablePrinter plug(*printer);
    WriteBytes(Output(), std::vector<std::uint8_t>(kEarlier.begin(), kEarlier.end()));

    const auto start = Clock::now();
    const CliResult r = RunCliWith(Args(plug.Port()));
    EXPECT_LT(Clock::now() - start, 2s);
    EXPECT_EQ(r.status, kExitStepFailed);
    ASSERT_EQ(r.err_writes.size(), c.goes_on ? 7u : 5u) << r.err;
    EXPECT_EQ(r.err_writes[0] + r.err_writes[1] + r.err_writes[2] + r.err_writes[3], kBothDone);
    EXPECT_EQ(r.err_writes[4], c.last);
    if (c.goes_on) {
      EXPECT_EQ(r.err_writes[5] + r.err_writes[6], GoOn(plug.Port()));
    }
    EXPECT_EQ(ReadBytes(Output()), kEarlier);

    printer->ClearFaults();
    if (!plug.Serving()) plug.Plug();
    std::filesystem::remove_all(Dump());  // a new run into an empty folder
    ExpectRestored(RunCliWith(Args(plug.Port())));
  }
}

// The dump's serial number read and the five flash reads come first, so the
// eleventh exchange is the second tax rate read: its group is left out, and
// the message says the printer refused.
TEST_F(CliFault, NakOnTheSecondTaxRateReadLeavesOutOneTaxRate) {
  auto printer = Chunked({"nak:every=11"});
  const CliResult r = RunCliWith(Args("sim"), sim::InProcessOpener(*printer));
  EXPECT_EQ(r.status, kExitIncomplete) << r.err;
  std::vector<std::string> expected = SmallJournalLines();
  expected.erase(std::find(expected.begin(), expected.end(), "Налог Б, тип=Вложенный, ставка=7.00, название=НДС 7%"));
  EXPECT_EQ(r.err, kBothDone + "Налог Б:\n  Регистратор не принял запрос (NAK)!\n" + WrittenLine(Output(), expected) + kSmallJournalCheck +
                       "fjl-restore-cli: the FJL file was written, but it may be incomplete: tax group Б not read.\n");
  EXPECT_EQ(FjlLines(ReadBytes(Output())), expected);
}

// The line drops during the second tax rate read and is back for the next
// one: the file is complete but for that group, and the status says both.
TEST_F(CliFault, ALineLostMidRestorationIsNamedAmongTheGaps) {
  auto printer = Chunked({"hangup:cmd=0x48,every=2,limit=1"});
  const CliResult r = RunCliWith(Args("sim"), sim::InProcessOpener(*printer));
  EXPECT_EQ(r.status, kExitIncomplete) << r.err;
  std::vector<std::string> expected = SmallJournalLines();
  expected.erase(std::find(expected.begin(), expected.end(), "Налог Б, тип=Вложенный, ставка=7.00, название=НДС 7%"));
  EXPECT_EQ(r.err, kBothDone + "Налог Б:\n  Связь с регистратором потеряна: порт отключен!\n" +
                       WrittenLine(Output(), expected) + kSmallJournalCheck +
                       "fjl-restore-cli: the FJL file was written, but it may be incomplete: tax group Б not "
                       "read; the port went away.\n");
  EXPECT_EQ(FjlLines(ReadBytes(Output())), expected);
}

TEST_F(CliFault, PrinterFallingSilentAtTheLastReadOfTheRestoration) {
  // Operator 1, read for the second receipt, is the run's last exchange.
  auto printer = Chunked({"silence:cmd=0x30,every=2,limit=1"});
  WriteBytes(Output(), std::vector<std::uint8_t>(kEarlier.begin(), kEarlier.end()));

  const CliResult r = RunCliWith(Args("sim"), sim::InProcessOpener(*printer));
  EXPECT_EQ(r.status, kExitStepFailed);
  EXPECT_EQ(r.err, kBothDone + "Оператор 1 \n  Таймаут устройства! Ошибка!\n" + GoOn("sim"));
  EXPECT_EQ(ReadBytes(Output()), kEarlier);

  std::filesystem::remove_all(Dump());  // a new run into an empty folder
  ExpectRestored(RunCliWith(Args("sim"), sim::InProcessOpener(*printer)));
}

// A stop request counted out to its Nth poll, as a signal arriving then would be.
class StopAtPoll final : public RunStop {
 public:
  explicit StopAtPoll(int n) : stop_at_(n) {}
  bool StopRequested() const override { return ++polls_ >= stop_at_; }
  ExitStatus StoppedStatus() const override { return kExitInterrupted; }
  std::string_view StoppedBy() const override { return "SIGINT"; }
  int Polls() const { return polls_; }

 private:
  int stop_at_;
  mutable int polls_ = 0;
};

// The run polls before every exchange and record, after every step, and
// while the file is written. A stop at the first poll, at one in the middle
// and at the very last (just before the new file would take its name)
// each ends the run with the stop's status and its closing line, the
// earlier file as it was and no temporary file beside it.
TEST_F(CliFault, AStopRequestAtAnySafePointLeavesTheEarlierFile) {
  auto printer = Chunked();
  StopAtPoll never(1 << 30);
  ExpectRestored(RunCliWith(Args("sim"), sim::InProcessOpener(*printer), false, &never));
  const int polls = never.Polls();
  ASSERT_GT(polls, 10);  // five flash reads, the identity reads and the records at least

  for (const int stop_at : {1, polls / 2, polls}) {
    SCOPED_TRACE("stop at poll " + std::to_string(stop_at) + " of " + std::to_string(polls));
    WriteBytes(Output(), std::vector<std::uint8_t>(kEarlier.begin(), kEarlier.end()));
    std::filesystem::remove_all(Dump());
    StopAtPoll stop(stop_at);
    const CliResult r = RunCliWith(Args("sim"), sim::InProcessOpener(*printer), false, &stop);
    EXPECT_EQ(r.status, kExitInterrupted);
    ASSERT_GE(r.err_writes.size(), 3u);
    const std::size_t n = r.err_writes.size();
    EXPECT_EQ(r.err_writes[n - 3] + r.err_writes[n - 2] + r.err_writes[n - 1],
              "Stopped (SIGINT): " + Output() + " not written.\n" + GoOn("sim"));
    EXPECT_EQ(ReadBytes(Output()), kEarlier);
    EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"dump", "tape.FJL"}));
  }
}

TEST_F(CliFault, ReadOnlyOutputFolderIsRefusedBeforeThePrinterIsAsked) {
  e2e::TmpfsMount mount(folder_ / "mnt", "64k");
  if (!mount.Mounted()) GTEST_SKIP() << mount.Why();
  const std::string output = folder_ / "mnt/tape.FJL";
  e2e::WriteFile(output, kEarlier);
  if (!mount.SetReadOnly(true)) GTEST_SKIP() << "cannot remount the tmpfs read-only";
  auto printer = Chunked();
  e2e::PluggablePrinter plug(*printer);

  const CliResult r = RunCliWith({"--port", plug.Port(), "--output", output});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_EQ(r.err, output + ": Диск доступен только для чтения\n");
  EXPECT_TRUE(printer->Requests().empty());
  EXPECT_EQ(ReadBytes(output), kEarlier);

  ASSERT_TRUE(mount.SetReadOnly(false));
  const CliResult again = RunCliWith({"--port", plug.Port(), "--output", output});
  EXPECT_EQ(again.status, kExitRestored) << again.err;
  EXPECT_EQ(ReadBytes(output), FjlBytes(SmallJournalLines()));
}

TEST_F(CliFault, OutputFolderThatIsAFileIsRefused) {
  e2e::WriteFile(folder_ / "tapes", kEarlier);
  auto printer = Chunked();
  const CliResult r =
      RunCliWith({"--port", "sim", "--output", folder_ / "tapes/day.FJL"}, sim::InProcessOpener(*printer));
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_EQ(r.err, folder_ / "tapes/day.FJL" + ": Часть пути не является папкой\n");
  EXPECT_TRUE(printer->Requests().empty());
  EXPECT_EQ(ReadBytes(folder_ / "tapes"), kEarlier);
}

TEST_F(CliFault, FullDiskFailsTheSaveAndKeepsTheEarlierFile) {
  e2e::TmpfsMount mount(folder_ / "mnt", "16k");
  if (!mount.Mounted()) GTEST_SKIP() << mount.Why();
  const std::string output = folder_ / "mnt/tape.FJL";
  e2e::WriteFile(output, kEarlier);
  ASSERT_TRUE(mount.FillUp());
  auto printer = Chunked();
  e2e::PluggablePrinter plug(*printer);

  // The folder takes a new (empty) file, so the run goes ahead; the text
  // itself finds no room.
  const CliResult r = RunCliWith({"--port", plug.Port(), "--output", output});
  EXPECT_EQ(r.status, kExitStepFailed);
  EXPECT_EQ(r.err, kBothDone + output + ": Нет места на диске\n");
  EXPECT_EQ(ReadBytes(output), kEarlier);
  EXPECT_EQ(e2e::NamesIn(folder_ / "mnt"), (std::vector<std::string>{"filler", "tape.FJL"}));

  ASSERT_EQ(::unlink((folder_ / "mnt/filler").c_str()), 0);
  const CliResult again = RunCliWith({"--port", plug.Port(), "--output", output});
  EXPECT_EQ(again.status, kExitRestored) << again.err;
  EXPECT_EQ(ReadBytes(output), FjlBytes(SmallJournalLines()));
  EXPECT_EQ(e2e::NamesIn(folder_ / "mnt"), std::vector<std::string>{"tape.FJL"});
}

TEST_F(CliFault, FullDiskUnderTheDumpsDoesNotStopTheRestoration) {
  e2e::TmpfsMount mount(folder_ / "mnt", "16k");
  if (!mount.Mounted()) GTEST_SKIP() << mount.Why();
  const std::string dump = folder_ / "mnt/dump";
  ASSERT_EQ(::mkdir(dump.c_str(), 0755), 0);
  ASSERT_TRUE(mount.FillUp());
  auto printer = Chunked();

  const CliResult r =
      RunCliWith({"--port", "sim", "--output", Output(), "--dump", dump}, sim::InProcessOpener(*printer));
  EXPECT_EQ(r.status, kExitRestored) << r.err;
  // The first failure is shown once; no half-written state file is left.
  EXPECT_EQ(r.err, kDownloadDone + "dump not written: " + dump + "/state.txt: Нет места на диске\n" +
                       "Control tape downloaded: 150 bytes, 15 records\n" + AuxDone(100) + WrittenLine(Output()) + kSmallJournalCheck);
  EXPECT_EQ(ReadBytes(Output()), FjlBytes(SmallJournalLines()));
  for (const std::string& name : e2e::NamesIn(dump)) {
    EXPECT_TRUE(name == "tape.bin" || name == "auxiliary.bin" || name == "answers.txt" || name == "dump.lock") << name;
  }
}

}  // namespace
}  // namespace fjl::cli::testing
