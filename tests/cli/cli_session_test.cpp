// The whole CLI in-process: the real serial channel over a pseudo-terminal to
// the simulated printer (and, where a fault would cost seconds of waiting,
// the in-process channel).

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "cli/run_report.h"
#include "cli_test_support.h"
#include "sim/lib/fault_plan.h"
#include "sim/lib/in_process_channel.h"
#include "sim/lib/pty_printer.h"
#include "sim/lib/simulator.h"

namespace fjl::cli::testing {
namespace {

constexpr const char* kMsgDone = "Успешно. Чтение контрольной ленты завершено.";
constexpr const char* kMsgTimeout = "Ошибка! Таймаут устройства! Чтение данных остановлено.";
constexpr const char* kMsgFlashError = "Ошибка чтения данных из флеш-памяти. Чтение данных остановлено.";

std::size_t CountLines(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

std::vector<std::string> ErrLines(const CliResult& r) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < r.err.size()) {
    const std::size_t end = r.err.find('\n', start);
    lines.push_back(r.err.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

class CliOverPty : public ::testing::Test {
 protected:
  explicit CliOverPty(sim::PrinterModel model = SmallJournalPrinter())
      : simulator_(std::make_unique<sim::Simulator>(std::move(model))) {}

  // Another printer, before the line is served.
  void UsePrinter(sim::PrinterModel model) {
    ASSERT_EQ(printer_, nullptr);
    simulator_ = std::make_unique<sim::Simulator>(std::move(model));
  }
  sim::Simulator& Sim() { return *simulator_; }

  // Starts serving; faults added before this apply from the first request.
  sim::PtyPrinter& Printer() {
    if (!printer_) printer_ = std::make_unique<sim::PtyPrinter>(*simulator_);
    return *printer_;
  }

  std::vector<std::string> Args(std::vector<std::string> more = {}) {
    std::vector<std::string> args{"--port", Printer().SlavePath(), "--output", Output()};
    args.insert(args.end(), more.begin(), more.end());
    return args;
  }

  std::string Output() const { return folder_ / "tape.FJL"; }

  std::vector<sim::Request> RequestsOf(int command) const {
    std::vector<sim::Request> of;
    for (const sim::Request& r : simulator_->Requests()) {
      if (r.command == command) of.push_back(r);
    }
    return of;
  }

  ScratchFolder folder_;
  std::unique_ptr<sim::Simulator> simulator_;
  std::unique_ptr<sim::PtyPrinter> printer_;  // declared last: stops serving first
};

TEST_F(CliOverPty, FullRunWritesTheHandWorkedTapeAsTheWizardSavesIt) {
  const CliResult r = RunCliWith(Args());

  ASSERT_EQ(r.status, kExitRestored) << r.err;
  EXPECT_EQ(ReadBytes(Output()), FjlBytes(SmallJournalLines()));
  // The two downloads' success messages, each named by the line after it,
  // and where the file went; one write each.
  EXPECT_EQ(r.err, TapeDone() + AuxDone() + WrittenLine(Output()) + kSmallJournalCheck);
  EXPECT_EQ(r.err_writes.size(), 6u);
  EXPECT_TRUE(r.out.empty());
  // Only the FJL file: no temporary file left beside it.
  EXPECT_EQ(folder_.Names(), std::vector<std::string>{"tape.FJL"});
}

TEST_F(CliOverPty, FileStartsWithTheBoxsEmptyLineInWindows1251WithCrLf) {
  ASSERT_EQ(RunCliWith(Args()).status, kExitRestored);
  const std::string bytes = ReadBytes(Output());
  // "Контрольная лента." in Windows-1251, after the empty first line.
  const std::string head = "\r\n\xCA\xEE\xED\xF2\xF0\xEE\xEB\xFC\xED\xE0\xFF \xEB\xE5\xED\xF2\xE0.\r\n";
  EXPECT_EQ(bytes.substr(0, head.size()), head);
  EXPECT_EQ(bytes.substr(bytes.size() - 3), " \r\n");
}

TEST_F(CliOverPty, PasswordGoesToThePrinterInWindows1251) {
  sim::PrinterModel model = SmallJournalPrinter();
  model.password = text::Utf8ToCp1251("пароль");
  UsePrinter(std::move(model));

  const CliResult r = RunCliWith(Args({"--password", "пароль"}));

  ASSERT_EQ(r.status, kExitRestored) << r.err;
  const auto reads = RequestsOf(241);
  ASSERT_FALSE(reads.empty());
  EXPECT_EQ(reads.front().data, text::Utf8ToCp1251("пароль") + ";268458935;");
}

TEST_F(CliOverPty, EmptyPasswordIsSentEmptyAndTheRefusalStopsTheDownload) {
  const CliResult r = RunCliWith(Args({"--password="}));

  EXPECT_EQ(r.status, kExitStepFailed);
  EXPECT_EQ(ErrLines(r), (std::vector<std::string>{kMsgFlashError}));
  const auto reads = RequestsOf(241);
  ASSERT_EQ(reads.size(), 1u);
  EXPECT_EQ(reads.front().data, ";268458935;");
  EXPECT_FALSE(Exists(Output()));
}

TEST_F(CliOverPty, SpeedAndDefaultPasswordReachTheLink) {
  const CliResult r = RunCliWith(Args({"--speed", "115200"}));
  ASSERT_EQ(r.status, kExitRestored) << r.err;
  EXPECT_EQ(RequestsOf(241).front().data, "482913;268458935;");
  EXPECT_EQ(RequestsOf(0x42).front().data, "482913;");
}

TEST_F(CliOverPty, FlashReadErrorMidTapeStopsKeepsTheDumpAndWritesNoFile) {
  // The second tape chunk fails: the first 60 bytes were received and stored.
  Sim().AddFault(sim::ParseFaultRule("error:code=0001,cmd=241,every=2,limit=1"));
  Sim().SetChunkSize(60);
  const std::string dump = folder_ / "dump";

  const CliResult r = RunCliWith(Args({"--dump", dump, "--verbose"}));

  EXPECT_EQ(r.status, kExitStepFailed);
  EXPECT_EQ(ErrLines(r).back(), kMsgFlashError);
  // --verbose shows the failing reply's code as the result box would.
  EXPECT_NE(r.err.find("Результат выполнения: 0001"), std::string::npos) << r.err;
  EXPECT_FALSE(Exists(Output()));
  const sim::Bytes tape = MakeSmallJournal().tape;
  EXPECT_EQ(ReadBytes(dump + "/tape.bin"), std::string(tape.begin(), tape.begin() + 60));
  EXPECT_FALSE(Exists(dump + "/auxiliary.bin"));
  // Nothing is asked after the failed step; the one serial number read came
  // before the download, for the dump's state file.
  EXPECT_EQ(RequestsOf(0x42).size(), 1u);
}

TEST_F(CliOverPty, DumpsKeepBothImagesOfACompletedRun) {
  const std::string dump = folder_ / "support";
  ASSERT_EQ(RunCliWith(Args({"--dump", dump})).status, kExitRestored);

  const SmallJournal journal = MakeSmallJournal();
  const std::string tape = ReadBytes(dump + "/tape.bin");
  const std::string aux = ReadBytes(dump + "/auxiliary.bin");
  // Whole chunks were received, so each image holds its records and end
  // mark followed by erased flash up to the chunk's end.
  ASSERT_GE(tape.size(), journal.tape.size());
  EXPECT_EQ(tape.substr(0, journal.tape.size()), std::string(journal.tape.begin(), journal.tape.end()));
  EXPECT_EQ(tape.size() % 100, 0u);
  ASSERT_GE(aux.size(), journal.aux.size());
  EXPECT_EQ(aux.substr(0, journal.aux.size()), std::string(journal.aux.begin(), journal.aux.end()));
}

TEST_F(CliOverPty, FailingAuxDownloadKeepsTheTapeDumpAndWritesNoFile) {
  // The tape's 104 bytes take two chunks of 100; the third read is the first
  // of the auxiliary area.
  Sim().AddFault(sim::ParseFaultRule("error:code=0001,cmd=241,every=3,limit=1"));
  const std::string dump = folder_ / "dump";
  const CliResult r = RunCliWith(Args({"--dump", dump}));

  EXPECT_EQ(r.status, kExitStepFailed);
  EXPECT_EQ(ErrLines(r), (std::vector<std::string>{kMsgDone, "Control tape downloaded: 200 bytes, 15 records",
                                                    kMsgFlashError}));
  const sim::Bytes tape = MakeSmallJournal().tape;
  EXPECT_EQ(ReadBytes(dump + "/tape.bin").substr(0, tape.size()), std::string(tape.begin(), tape.end()));
  EXPECT_EQ(ReadBytes(dump + "/auxiliary.bin"), "");
  EXPECT_FALSE(Exists(Output()));
}

TEST_F(CliOverPty, FailingOperatorReadStopsTheRestorationAndWritesNoFile) {
  Sim().AddFault(sim::ParseFaultRule("error:code=0106,cmd=0x30"));
  WriteBytes(Output(), std::vector<std::uint8_t>{'o', 'l', 'd'});

  const CliResult r = RunCliWith(Args());

  EXPECT_EQ(r.status, kExitStepFailed);
  // The first receipt is operator index 1, so operator 2 is asked for.
  EXPECT_EQ(r.err_writes.back(), "Оператор 2 \n  Неверный пароль доступа!\n");
  EXPECT_EQ(ReadBytes(Output()), "old");
}

TEST_F(CliOverPty, FailingTaxRateReadIsShownAndTheRunStillCompletes) {
  Sim().AddFault(sim::ParseFaultRule("error:code=0406,cmd=0x48,every=2,limit=1"));

  const CliResult r = RunCliWith(Args());

  // The file is written, but the status says it lacks something.
  ASSERT_EQ(r.status, kExitIncomplete) << r.err;
  std::vector<std::string> expected = SmallJournalLines();
  expected.erase(std::find(expected.begin(), expected.end(),
                           "Налог Б, тип=Вложенный, ставка=7.00, название=НДС 7%"));
  EXPECT_EQ(ErrLines(r), (std::vector<std::string>{
                             kMsgDone, "Control tape downloaded: 200 bytes, 15 records", kMsgDone,
                             "Auxiliary data downloaded: 100 bytes, 3 records", "Налог Б:", "  Неверный пароль доступа!",
                             WrittenLine(Output(), expected).substr(0, WrittenLine(Output(), expected).size() - 1),
                             kSmallJournalCheck.substr(0, kSmallJournalCheck.size() - 1),
                             "fjl-restore-cli: the FJL file was written, but it may be incomplete: tax group Б not "
                             "read."}));
  EXPECT_EQ(FjlLines(ReadBytes(Output())), expected);
}

TEST_F(CliOverPty, SessionLogRecordsTheExchanges) {
  const std::string log = folder_ / "logs-session.txt";
  ASSERT_EQ(RunCliWith(Args({"--log", log})).status, kExitRestored);
  const std::string text = ReadBytes(log);
  EXPECT_FALSE(text.empty());
  // Every read command's request went into the log with its data text.
  EXPECT_NE(text.find("482913;268458935;"), std::string::npos);
  EXPECT_NE(text.find("482913;388693;"), std::string::npos);
}

// A log that opens but takes nothing (a full disk) is said to be
// incomplete once, with the reason; the tape is restored all the same.
TEST_F(CliOverPty, ALogThatStopsBeingWrittenIsToldOnce) {
  const CliResult r = RunCliWith(Args({"--log", "/dev/full"}));
  EXPECT_EQ(r.status, kExitRestored) << r.err;
  EXPECT_EQ(r.err_writes.front(), "the session log /dev/full is incomplete: Нет места на диске\n");
  EXPECT_EQ(std::count(r.err_writes.begin(), r.err_writes.end(), r.err_writes.front()), 1);
  EXPECT_EQ(ReadBytes(Output()), FjlBytes(SmallJournalLines()));
}

TEST_F(CliOverPty, UnusableOutputFolderIsRefusedBeforeThePrinterIsAsked) {
  const CliResult r = RunCliWith({"--port", Printer().SlavePath(), "--output", folder_ / "missing/tape.FJL"});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_NE(r.err.find("missing"), std::string::npos) << r.err;
  EXPECT_TRUE(Sim().Requests().empty());
  EXPECT_FALSE(Exists(folder_ / "missing"));
}

TEST_F(CliOverPty, OutputNamingAFolderIsRefused) {
  const CliResult r = RunCliWith({"--port", Printer().SlavePath(), "--output", folder_.Path().string()});
  EXPECT_EQ(r.status, kExitUsage);
  EXPECT_TRUE(Sim().Requests().empty());
}

TEST_F(CliOverPty, ProgressLinesOnATerminalEndBeforeEachMessage) {
  const CliResult r = RunCliWith(Args(), {}, /*terminal=*/true, nullptr, {}, {}, Language::Russian);
  ASSERT_EQ(r.status, kExitRestored) << r.err;

  // Tape and aux progress, each ended before its success message; then the
  // restoration's, ended before exit.
  const std::size_t tape_progress = r.err.find("\rКонтрольная лента: ");
  const std::size_t first_done = r.err.find(std::string("\n") + kMsgDone + "\n");
  const std::size_t aux_progress = r.err.find("\rВспомогательные параметры: ");
  const std::size_t restore_progress = r.err.find("\rВосстановление: записей ");
  ASSERT_NE(tape_progress, std::string::npos) << r.err;
  ASSERT_NE(first_done, std::string::npos) << r.err;
  ASSERT_NE(aux_progress, std::string::npos) << r.err;
  ASSERT_NE(restore_progress, std::string::npos) << r.err;
  EXPECT_LT(tape_progress, first_done);
  EXPECT_LT(first_done, aux_progress);
  EXPECT_LT(aux_progress, restore_progress);
  EXPECT_EQ(r.err.back(), '\n');
  // The small tape is 15 records in 104 bytes, read in two chunks of 100;
  // the restoration ends at 100% with the download's count of records.
  EXPECT_NE(r.err.find("Контрольная лента: 200 байт, записей 15, "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Восстановление: записей 15, байт "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("(100%)"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\nКонтрольная лента: прочитано 200 байт, записей 15\n"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("\nВспомогательные параметры: прочитано 100 байт, записей 3\n"), std::string::npos) << r.err;
  EXPECT_TRUE(r.err.ends_with("\n" + Output() + " записан: строк " + std::to_string(SmallJournalLines().size()) +
                              ", байт " + std::to_string(FjlBytes(SmallJournalLines()).size()) +
                              ", восстановлены все записи ленты (15)\n" + kSmallJournalCheck))
      << r.err;
}

TEST_F(CliOverPty, NoProgressLinesOffATerminal) {
  const CliResult r = RunCliWith(Args(), {}, /*terminal=*/false);
  ASSERT_EQ(r.status, kExitRestored);
  EXPECT_EQ(r.err.find('\r'), std::string::npos);
}

// The command is pasted into a POSIX shell: whatever the shell would split
// or act on is single-quoted, a quote inside closed, escaped and reopened.
TEST(GoOnCommand, RepeatsWhatTheRunNeedsQuotedForTheShell) {
  struct Case {
    std::vector<std::string> more;  // options besides --port and --output
    std::string output;
    std::string command;
  };
  const Case cases[] = {
      {{}, "Смена-3/лента.FJL", "fjl-restore-cli --resume auto --port /dev/ttyUSB0 --output Смена-3/лента.FJL"},
      {{"--password", "", "--verbose"}, "my tapes/day 1.FJL",
       "fjl-restore-cli --resume auto --port /dev/ttyUSB0 --output 'my tapes/day 1.FJL' --password '' --verbose"},
      {{"--password", "it's$1", "--log", "a;b.log", "--speed", "19200"}, "t.FJL",
       "fjl-restore-cli --resume auto --port /dev/ttyUSB0 --output t.FJL --password 'it'\\''s$1' --log 'a;b.log'"},
      // The run that goes on writes the exports and the report too.
      {{"--report", "day report.txt", "--export", "csv", "tables", "--export", "json", "t.json"}, "t.FJL",
       "fjl-restore-cli --resume auto --port /dev/ttyUSB0 --output t.FJL --export json t.json --export csv tables "
       "--report 'day report.txt'"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args{"--port", "/dev/ttyUSB0", "--output", c.output};
    args.insert(args.end(), c.more.begin(), c.more.end());
    const ParsedCommandLine parsed = ParseCommandLine(args);
    ASSERT_TRUE(parsed.ok()) << parsed.error;
    EXPECT_EQ(GoOnCommand(parsed.options, "/dev/ttyUSB0", "auto"), c.command);
  }
}

TEST(CliPort, UnopenablePortIsReportedAsTheWizardDoes) {
  ScratchFolder folder;
  const CliResult r = RunCliWith({"--port", folder / "no-such-tty", "--output", folder / "t.FJL"}, {}, false,
                                 nullptr, {}, {}, Language::Russian);
  EXPECT_EQ(r.status, kExitStepFailed);
  EXPECT_EQ(r.err,
            "Невозможно подключить порт\n"
            "Причина: нет такого устройства (проверьте имя порта и кабель; fjl-restore-cli --list-ports "
            "показывает найденные порты).\n");
  EXPECT_FALSE(Exists(folder / "t.FJL"));
}

// A silent printer costs 50 empty reads of 100 ms; the in-process channel
// runs them on its own clock.
TEST(CliTimeout, SilentPrinterStopsTheTapeDownloadWithNoFile) {
  ScratchFolder folder;
  sim::Simulator simulator(SmallJournalPrinter());
  simulator.AddFault(sim::ParseFaultRule("silence:cmd=241"));

  const CliResult r = RunCliWith({"--port", "sim", "--output", folder / "t.FJL", "--dump", folder / "d"},
                                 sim::InProcessOpener(simulator));

  EXPECT_EQ(r.status, kExitStepFailed);
  EXPECT_EQ(r.err, std::string(kMsgTimeout) + "\nthe download so far is kept in " + folder / "d" +
                       "; this command goes on with it:\nfjl-restore-cli --resume " + folder / "d" +
                       " --port sim --output " + folder / "t.FJL" + "\n");
  EXPECT_FALSE(Exists(folder / "t.FJL"));
  EXPECT_EQ(ReadBytes(folder / "d/tape.bin"), "");
}

// A port that takes no request (the driver refuses the write) ends the
// download at once, and the reason is shown beside the timeout message.
TEST(CliTimeout, RefusedRequestIsReportedWithTheSystemsReason) {
  struct RefusingChannel : serial::SerialChannel {
    serial::ReadResult Read(std::span<std::uint8_t>) override { return std::size_t{0}; }
    platform::SystemResult Write(std::span<const std::uint8_t>) override { return EACCES; }
    platform::SystemResult Drain() override { return {}; }
    platform::SystemResult Purge(serial::PurgeDirection) override { return {}; }
    bool Close() override { return true; }
    int Handle() const override { return 3; }
  };
  ScratchFolder folder;
  const CliResult r = RunCliWith({"--port", "sim", "--output", folder / "t.FJL"},
                                 [](const std::string&, std::int32_t) -> std::unique_ptr<serial::SerialChannel> {
                                   return std::make_unique<RefusingChannel>();
                                 });
  EXPECT_EQ(r.status, kExitStepFailed);
  EXPECT_EQ(r.err, std::string(kMsgTimeout) + "\nReason: the port did not take the request: Permission denied.\n");
  EXPECT_FALSE(Exists(folder / "t.FJL"));
}

TEST(CliTimeout, PrinterFallingSilentDuringRestorationStopsItWithNoFile) {
  ScratchFolder folder;
  sim::Simulator simulator(SmallJournalPrinter());
  simulator.AddFault(sim::ParseFaultRule("silence:cmd=0x42"));

  const CliResult r =
      RunCliWith({"--port", "sim", "--output", folder / "t.FJL"}, sim::InProcessOpener(simulator));

  EXPECT_EQ(r.status, kExitStepFailed);
  EXPECT_EQ(r.err_writes.back(), "Таймаут устройства! GetSerialNumber Ошибка!\n");
  EXPECT_FALSE(Exists(folder / "t.FJL"));
}

class SampleJournalOverPty : public CliOverPty {
 protected:
  SampleJournalOverPty() : CliOverPty(sim::SamplePrinterModel()) {}
};

// The full sample journal: its frame, and one title line per record of each
// kind the sample holds.
TEST_F(SampleJournalOverPty, FullRunHasHeaderFooterAndEveryRecord) {
  ASSERT_EQ(RunCliWith(Args()).status, kExitRestored);
  const std::vector<std::string> lines = FjlLines(ReadBytes(Output()));

  const std::vector<std::string> header = SampleHeaderLines();
  const std::vector<std::string> footer = FooterLines();
  ASSERT_GT(lines.size(), 1 + header.size() + footer.size());
  EXPECT_EQ(lines.front(), "");
  EXPECT_TRUE(std::equal(header.begin(), header.end(), lines.begin() + 1));
  EXPECT_TRUE(std::equal(footer.rbegin(), footer.rend(), lines.rbegin()));

  EXPECT_EQ(CountLines(lines, "Открыть фискальный чек"), 4u);
  EXPECT_EQ(CountLines(lines, "Закрыть фискальный чек"), 3u);
  EXPECT_EQ(CountLines(lines, "Продажа товара"), 8u);
  EXPECT_EQ(CountLines(lines, "Печать итога"), 3u);
  EXPECT_EQ(CountLines(lines, "Частичная оплата"), 1u);
  EXPECT_EQ(CountLines(lines, "Окончательная оплата"), 3u);
  EXPECT_EQ(CountLines(lines, "Задание номера отдела"), 3u);
  EXPECT_EQ(CountLines(lines, "Процентная скидка/надбавка на товар"), 2u);
  EXPECT_EQ(CountLines(lines, "Стоимостная скидка/надбавка на товар"), 1u);
  EXPECT_EQ(CountLines(lines, "Процентная скидка/надбавка на подсумму"), 1u);
  EXPECT_EQ(CountLines(lines, "Стоимостная скидка/надбавка на подсумму"), 1u);
  EXPECT_EQ(CountLines(lines, "Процентная скидка/надбавка по налогу"), 1u);
  EXPECT_EQ(CountLines(lines, "Стоимостная скидка/надбавка по налогу"), 1u);
  EXPECT_EQ(CountLines(lines, "Аннулирование продажи товара"), 1u);
  EXPECT_EQ(CountLines(lines, "Печать комментария"), 3u);
  EXPECT_EQ(CountLines(lines, "Печать штрих-кода"), 1u);
  EXPECT_EQ(CountLines(lines, "Открыть нефискальный чек"), 1u);
  EXPECT_EQ(CountLines(lines, "Закрыть нефискальный чек"), 1u);
  // Each of the first receipt's lines, worked from its records.
  EXPECT_EQ(CountLines(lines, "     Сквозной номер документа=101, 25/12/08  09:14"), 1u);
  EXPECT_EQ(CountLines(lines, "     имя товара=Хлеб пшеничный"), 1u);
  EXPECT_EQ(CountLines(lines, "     оператор #4: Администратор"), 2u);
}

}  // namespace
}  // namespace fjl::cli::testing
