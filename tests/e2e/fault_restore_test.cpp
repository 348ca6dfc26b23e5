// The restoration against a misbehaving printer, through the same core call
// the step 3 window makes: the message shown, the lines the text box keeps,
// and a second click that completes once the printer behaves again.
//
// The small journal's restoration asks the printer 13 times, in this order:
// serial (0x42), fiscal (0x44), tax and identification numbers (0x46), the
// five tax rates (0x48), operator 2 (0x30), department 2 (0x33), payment
// forms 1 and 0 (0x2E), operator 1 (0x30). Its restored lines are worked out
// by hand in cli/cli_test_support.h.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/cli_test_support.h"
#include "fault_harness.h"
#include "link/device_link.h"
#include "sim/lib/fault_plan.h"

namespace fjl::e2e {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

constexpr int kRestoreExchanges = 13;

Lines Whole() { return cli::testing::SmallJournalLines(); }

// The hand-worked lines up to and including the `nth` line equal to `last`.
Lines Through(const std::string& last, int nth = 1) {
  Lines all = Whole();
  auto at = all.begin();
  for (int i = 0; i < nth; ++i) {
    at = std::find(i == 0 ? all.begin() : at + 1, all.end(), last);
    if (at == all.end()) throw std::logic_error("no line " + last);
  }
  return Lines(all.begin(), at + 1);
}

Lines Without(const std::string& line) {
  Lines all = Whole();
  all.erase(std::find(all.begin(), all.end(), line));
  return all;
}

Lines Replacing(const std::string& line, const std::vector<std::string>& by) {
  Lines all = Whole();
  const auto at = std::find(all.begin(), all.end(), line);
  if (at == all.end()) throw std::logic_error("no line " + line);
  const auto index = at - all.begin();
  all.erase(at);
  all.insert(all.begin() + index, by.begin(), by.end());
  return all;
}

// What the box shows after a stopped run and a second, complete one: the
// second run's lines follow the first's (the box's own empty line once).
Lines AfterRetry(const Lines& stopped) {
  Lines box = stopped;
  const Lines whole = Whole();
  box.insert(box.end(), whole.begin() + 1, whole.end());
  return box;
}

const std::string kRateB = "Налог Б, тип=Вложенный, ставка=7.00, название=НДС 7%";
const std::string kRateV = "Налог В, тип=Группа не облагаемая налогом, ставка=0.00, название=Без НДС";
const std::string kRateA = "Налог А, тип=Вложенный, ставка=20.00, название=НДС 20%";
const std::string kPos = "     номер POS - 2,";

sim::PrinterModel SmallPrinter() { return cli::testing::SmallJournalPrinter(); }

struct RestoreCase {
  const char* rule_text;
  restore::RestoreOutcome outcome;
  std::string shown;
  Lines box;
};

// Downloads both areas, then runs the restoration with `rule_text` in force and,
// after a stopped run, a second one on a recovered printer.
void RunCase(link::Exchanger& link, sim::Simulator& printer, const RestoreCase& c) {
  Wizard w(link);
  ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
  ASSERT_EQ(w.ReadAux(), tape::DownloadOutcome::Success);
  printer.AddFault(sim::ParseFaultRule(c.rule_text));

  EXPECT_EQ(w.Restore(), c.outcome);
  EXPECT_EQ(w.step3.shown, Shown{c.shown});
  EXPECT_TRUE(w.step3.errors.empty());
  EXPECT_EQ(w.box.lines, c.box);
  if (c.outcome == restore::RestoreOutcome::Completed) {
    EXPECT_FALSE(w.controls.restore_enabled);
    EXPECT_TRUE(w.restoration.RestoreFinished);
    return;
  }
  // A stopped run leaves the button as it was, so the user can try again.
  EXPECT_TRUE(w.controls.restore_enabled);
  EXPECT_FALSE(w.restoration.RestoreFinished);

  printer.ClearFaults();
  EXPECT_EQ(w.Restore(), restore::RestoreOutcome::Completed);
  EXPECT_EQ(w.step3.shown, Shown{c.shown});
  EXPECT_EQ(w.box.lines, AfterRetry(c.box));
  EXPECT_FALSE(w.controls.restore_enabled);
}

// ---- Error codes on every read ----------------------------------------------

TEST(FaultRestore, ErrorCodeOnEachReadOverAPseudoTerminal) {
  const RestoreCase cases[] = {
      {"error:cmd=0x42,code=0106", restore::RestoreOutcome::Stopped, "Ошибка GetSerialNumber!",
       Through("Контрольная лента.")},
      {"error:cmd=0x44,code=0106", restore::RestoreOutcome::Stopped, "Ошибка GetFiscalNumber!",
       Through("Заводской номер - 07104512")},
      {"error:cmd=0x46,code=0001", restore::RestoreOutcome::Stopped, "Ошибка GetTaxIdNumber!",
       Through("Фискальный номер - 3600071045")},
      // A tax group's failure leaves out its line only.
      {"error:cmd=0x48,every=3,limit=1,code=0204", restore::RestoreOutcome::Completed,
       "Налог В:\n  Значение поля номер 2 выходит за допустимый диапазон!", Without(kRateV)},
      {"error:cmd=0x30,limit=1,code=0204", restore::RestoreOutcome::Stopped,
       "Оператор 2 \n  Значение поля номер 2 выходит за допустимый диапазон!", Through(kPos)},
      {"error:cmd=0x33,code=0001", restore::RestoreOutcome::Stopped,
       "Параметры отдела:2 \n  Ошибка оборудования!\n Неопределенная ошибка оборудования!",
       Through("     оператор #2: Петренко В.")},
      {"error:cmd=0x2E,limit=1,code=0106", restore::RestoreOutcome::Stopped,
       "Чтение форм оплаты:1 \n  Неверный пароль доступа!", Through("Печать итога")},
      {"error:cmd=0x2E,every=2,limit=1,code=0003", restore::RestoreOutcome::Stopped,
       "Чтение форм оплаты:0 \n  Неправильный формат поля номер 0!", Through("     сумма оплаты=20.00")},
      // The last exchange of the run.
      {"error:cmd=0x30,every=2,limit=1,code=0406", restore::RestoreOutcome::Stopped,
       "Оператор 1 \n  Неверный пароль доступа!", Through(kPos, 2)},
  };
  for (const RestoreCase& c : cases) {
    SCOPED_TRACE(c.rule_text);
    sim::Simulator printer(SmallPrinter());
    sim::PtyPrinter pty(printer);
    link::DeviceLink link;
    ASSERT_GE(link.OpenLink(pty.SlavePath(), 115200), 0);
    RunCase(link, printer, c);
  }
}

// ---- Silence at the first, middle and last read -----------------------------

TEST(FaultRestore, SilentPrinterInProcess) {
  const RestoreCase cases[] = {
      {"silence:cmd=0x42,limit=1", restore::RestoreOutcome::Stopped, "Таймаут устройства! GetSerialNumber Ошибка!",
       Through("Контрольная лента.")},
      {"silence:cmd=0x44,limit=1", restore::RestoreOutcome::Stopped, "Таймаут устройства! GetFiscalNumber Ошибка!",
       Through("Заводской номер - 07104512")},
      {"silence:cmd=0x46,limit=1", restore::RestoreOutcome::Stopped, "Таймаут устройства! GetTaxIdNumber Ошибка!",
       Through("Фискальный номер - 3600071045")},
      {"silence:cmd=0x48,every=2,limit=1", restore::RestoreOutcome::Completed,
       "Налог Б:\n  Таймаут устройства! Ошибка!", Without(kRateB)},
      {"silence:cmd=0x30,limit=1", restore::RestoreOutcome::Stopped, "Оператор 2 \n  Таймаут устройства! Ошибка!",
       Through(kPos)},
      {"silence:cmd=0x33,limit=1", restore::RestoreOutcome::Stopped,
       "Параметры отдела:2 \n  Таймаут устройства! Ошибка!", Through("     оператор #2: Петренко В.")},
      {"silence:cmd=0x2E,limit=1", restore::RestoreOutcome::Stopped,
       "Чтение форм оплаты:1 \n  Таймаут устройства! Ошибка!", Through("Печать итога")},
      {"silence:cmd=0x30,every=2,limit=1", restore::RestoreOutcome::Stopped,
       "Оператор 1 \n  Таймаут устройства! Ошибка!", Through(kPos, 2)},
      // Half a frame with no end is no reply either.
      {"cut:cmd=0x42,limit=1", restore::RestoreOutcome::Stopped, "Таймаут устройства! GetSerialNumber Ошибка!",
       Through("Контрольная лента.")},
  };
  for (const RestoreCase& c : cases) {
    SCOPED_TRACE(c.rule_text);
    sim::Simulator printer(SmallPrinter());
    InProcessLink line(printer);
    RunCase(line.link, printer, c);
  }
}

// ---- Replies that belong to another request -----------------------------------

// A reply that comes after the wait for it ran out, a repeat of the last one,
// or one naming another SEQ or command is never taken for the next read.
TEST(FaultRestore, RepliesOfOtherRequestsNeverBecomeLines) {
  struct Case {
    const char* rule_text;
    Shown shown;
    Lines box;
  };
  const Case cases[] = {
      // Group А answers 5.3 s late, while the link already waits for group Б.
      {"delay:cmd=0x48,limit=1,ms=5300", {"Налог А:\n  Таймаут устройства! Ошибка!"}, Without(kRateA)},
      {"wrong-cmd:cmd=0x48,every=2,limit=1", {}, Whole()},
      {"wrong-seq:cmd=0x48,limit=2", {}, Whole()},
      {"stale:cmd=0x48,every=2", {}, Whole()},
      {"stale", {}, Whole()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule_text);
    sim::Simulator printer(SmallPrinter());
    InProcessLink line(printer);
    Wizard w(line.link);
    ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
    ASSERT_EQ(w.ReadAux(), tape::DownloadOutcome::Success);
    printer.AddFault(sim::ParseFaultRule(c.rule_text));
    EXPECT_EQ(w.Restore(), restore::RestoreOutcome::Completed);
    EXPECT_EQ(w.step3.shown, c.shown);
    EXPECT_EQ(w.box.lines, c.box);
  }
}

// ---- The cable pulled at the first, a middle and the last read ---------------

TEST(FaultRestore, CablePulledAtFirstMiddleAndLastReadEndsAtOnceAndTheReplugWorks) {
  struct Case {
    const char* rule_text;
    std::string shown;
    Lines box;
  };
  const Case cases[] = {
      {"hangup:cmd=0x42,limit=1", "Связь с регистратором потеряна: порт отключен! GetSerialNumber Ошибка!",
       Through("Контрольная лента.")},
      {"hangup:cmd=0x30,limit=1", "Оператор 2 \n  Связь с регистратором потеряна: порт отключен!", Through(kPos)},
      {"hangup:cmd=0x30,every=2,limit=1", "Оператор 1 \n  Связь с регистратором потеряна: порт отключен!",
       Through(kPos, 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule_text);
    sim::Simulator printer(SmallPrinter());
    PluggablePrinter plug(printer);
    link::DeviceLink link;
    ASSERT_GE(link.OpenLink(plug.Port(), 115200), 0);
    Wizard w(link);
    ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
    ASSERT_EQ(w.ReadAux(), tape::DownloadOutcome::Success);
    printer.AddFault(sim::ParseFaultRule(c.rule_text));

    const auto start = Clock::now();
    EXPECT_EQ(w.Restore(), restore::RestoreOutcome::Stopped);
    EXPECT_LT(Clock::now() - start, 1500ms);
    EXPECT_EQ(w.step3.shown, Shown{c.shown});
    EXPECT_EQ(w.box.lines, c.box);
    EXPECT_TRUE(w.last_response.NoReply());

    plug.Plug();
    EXPECT_EQ(w.Restore(), restore::RestoreOutcome::Completed);
    EXPECT_EQ(w.box.lines, AfterRetry(c.box));
  }
}

// ---- Link faults and odd replies ---------------------------------------------

TEST(FaultRestore, LinkFaultsAndOddRepliesOverAPseudoTerminal) {
  const RestoreCase cases[] = {
      // The tenth exchange is the department read. A NAK or a bad checksum
      // carries no error code, so the box names the link failure instead.
      {"nak:every=10", restore::RestoreOutcome::Stopped, "Параметры отдела:2 \n  Регистратор не принял запрос (NAK)!",
       Through("     оператор #2: Петренко В.")},
      {"bad-checksum:every=10", restore::RestoreOutcome::Stopped, "Параметры отдела:2 \n  Неверная контрольная сумма ответа регистратора!",
       Through("     оператор #2: Петренко В.")},
      // A damaged identity reply is no success either.
      {"cut:cmd=0x42,etx=1,limit=1", restore::RestoreOutcome::Stopped, "Ошибка GetSerialNumber!",
       Through("Контрольная лента.")},
      {"nak:cmd=0x44,limit=1", restore::RestoreOutcome::Stopped, "Ошибка GetFiscalNumber!",
       Through("Заводской номер - 07104512")},
  };
  for (const RestoreCase& c : cases) {
    SCOPED_TRACE(c.rule_text);
    sim::Simulator printer(SmallPrinter());
    sim::PtyPrinter pty(printer);
    link::DeviceLink link;
    ASSERT_GE(link.OpenLink(pty.SlavePath(), 115200), 0);
    RunCase(link, printer, c);
  }
}

// Faults the run rides out: it completes, and the odd replies show in
// their lines exactly as the printer gave them.
TEST(FaultRestore, RepliesTheRunRidesOut) {
  struct Case {
    const char* rule_text;
    Lines box;
  };
  const Case cases[] = {
      {"syn-before:every=10,count=400", Whole()},
      {"garbage:count=64", Whole()},
      {"garbage:count=64,after=1", Whole()},
      {"empty:cmd=0x42,limit=1", Replacing("Заводской номер - 07104512", {"Заводской номер - "})},
      {"thirty-fields:cmd=0x42,limit=1", Replacing("Заводской номер - 07104512", {"Заводской номер - 1"})},
      {"one-field:cmd=0x46,limit=1", Replacing("ПН - 123456789012", {"ПН - "})},
      {"one-field:cmd=0x48,limit=1", Replacing(kRateA, {"Налог А, тип=Вложенный, ставка=, название="})},
      {"thirty-fields:cmd=0x48,limit=1",
       Replacing(kRateA, {"Налог А, тип=Вложенный, ставка=2, название=3, связанная группа=4"})},
      {"empty:cmd=0x30,limit=1", Replacing("     оператор #2: Петренко В.", {"     оператор #2: "})},
      {"thirty-fields:cmd=0x33,limit=1", Replacing("     отдел #2: Молочный", {"     отдел #2: 1"})},
      {"one-field:cmd=0x2E,limit=1",
       Replacing("     Номер оплаты=1, Название=КАРТОЧКОЙ,", {"     Номер оплаты=1, Название=,"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rule_text);
    sim::Simulator printer(SmallPrinter());
    sim::PtyPrinter pty(printer);
    link::DeviceLink link;
    ASSERT_GE(link.OpenLink(pty.SlavePath(), 115200), 0);
    Wizard w(link);
    ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
    ASSERT_EQ(w.ReadAux(), tape::DownloadOutcome::Success);
    printer.AddFault(sim::ParseFaultRule(c.rule_text));

    EXPECT_EQ(w.Restore(), restore::RestoreOutcome::Completed);
    EXPECT_TRUE(w.step3.shown.empty());
    EXPECT_EQ(w.box.lines, c.box);
  }
}

TEST(FaultRestore, TheSmallJournalTakesThirteenExchanges) {
  sim::Simulator printer(SmallPrinter());
  InProcessLink line(printer);
  Wizard w(line.link);
  ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
  ASSERT_EQ(w.ReadAux(), tape::DownloadOutcome::Success);
  const std::size_t before = printer.Requests().size();
  ASSERT_EQ(w.Restore(), restore::RestoreOutcome::Completed);
  const auto requests = printer.Requests();
  std::vector<int> commands;
  for (std::size_t i = before; i < requests.size(); ++i) commands.push_back(requests[i].command);
  EXPECT_EQ(commands, (std::vector<int>{0x42, 0x44, 0x46, 0x48, 0x48, 0x48, 0x48, 0x48, 0x30, 0x33, 0x2E, 0x2E,
                                        0x30}));
  EXPECT_EQ(static_cast<int>(commands.size()), kRestoreExchanges);
}

}  // namespace
}  // namespace fjl::e2e
