// Standard error as message box and progress line.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/console_views.h"
#include "tape/record_counters.h"

namespace fjl::cli {
namespace {

struct Captured {
  std::vector<std::string> writes;
  TextWriter Writer() {
    return [this](std::string_view t) { writes.emplace_back(t); };
  }
  std::string All() const {
    std::string all;
    for (const auto& w : writes) all += w;
    return all;
  }
};

TEST(Console, EachMessageIsOneWriteEndedByANewline) {
  Captured c;
  Console console(c.Writer(), false);
  console.ShowMessage("Налог Б:\n  Неверный пароль доступа!");
  console.ShowError("disk full");
  EXPECT_EQ(c.writes, (std::vector<std::string>{"Налог Б:\n  Неверный пароль доступа!\n", "disk full\n"}));
}

TEST(Console, ProgressIsDrawnInPlaceAndEndedBeforeAMessage) {
  Captured c;
  Console console(c.Writer(), true);
  console.Progress("абвгд 10%");
  console.Progress("аб 5%");  // shorter: blanks over the rest, then back
  console.ShowMessage("Готово");
  console.EndProgress();  // nothing left to end
  EXPECT_EQ(c.writes, (std::vector<std::string>{"\rабвгд 10%", "\rаб 5%    \b\b\b\b", "\nГотово\n"}));
}

TEST(Console, EndProgressFinishesTheLineOnce) {
  Captured c;
  Console console(c.Writer(), true);
  console.Progress("x");
  console.EndProgress();
  console.EndProgress();
  console.Note("after");
  EXPECT_EQ(c.All(), "\rx\nafter\n");
}

TEST(Console, NoProgressOffATerminal) {
  Captured c;
  Console console(c.Writer(), false);
  console.Progress("x");
  console.EndProgress();
  console.ShowMessage("m");
  EXPECT_EQ(c.All(), "m\n");
}

TEST(DownloadConsoleView, ProgressShowsRecordsBytesAndShareOfTheWindow) {
  Captured c;
  Console console(c.Writer(), true);
  DownloadConsoleView view(console, "Лента", tape::kAuxCounterBoxes, false);
  view.SetCounterText(tape::kAuxTotalBox, "7");
  view.ShowProgress(250, 1000);
  EXPECT_EQ(c.writes.back(), "\rЛента: записей 7, байт 250 (25% области)");
  EXPECT_EQ(view.BytesStored(), 250);
}

// The last records of a download are counted after its last progress
// drawing; its closing message brings the line up to date first.
TEST(DownloadConsoleView, MessageRedrawsTheLatestCountsBeforeEndingTheLine) {
  Captured c;
  Console console(c.Writer(), true);
  DownloadConsoleView view(console, "Лента", tape::kAuxCounterBoxes, false);
  view.ShowProgress(100, 1000);
  view.SetCounterText(tape::kAuxTotalBox, "1");  // may or may not draw: too soon after
  view.SetCounterText(tape::kAuxTotalBox, "2");
  view.ShowMessage("Готово");
  ASSERT_GE(c.writes.size(), 2u);
  EXPECT_EQ(c.writes[c.writes.size() - 2], "\rЛента: записей 2, байт 100 (10% области)");
  EXPECT_EQ(c.writes.back(), "\nГотово\n");
}

TEST(DownloadConsoleView, VerboseGivesResultAndStatusOfEachReplyOnOneLine) {
  Captured c;
  Console console(c.Writer(), false);
  DownloadConsoleView quiet(console, "Лента", tape::kTapeCounterBoxes, false);
  quiet.SetResult("0000");
  quiet.SetStatus("00 01 7F 10 2A 05");
  EXPECT_TRUE(c.writes.empty());
  DownloadConsoleView verbose(console, "Лента", tape::kTapeCounterBoxes, true);
  verbose.SetResult("0001");
  verbose.SetStatus("00 01 7F 10 2A 05");
  EXPECT_EQ(c.All(), "Результат выполнения: 0001  Статус регистратора: 00 01 7F 10 2A 05\n");
}

TEST(Percent, ClampsAndHandlesAnEmptyWhole) {
  EXPECT_EQ(Percent(0, 200), 0);
  EXPECT_EQ(Percent(199, 200), 99);
  EXPECT_EQ(Percent(200, 200), 100);
  EXPECT_EQ(Percent(205, 200), 100);  // the gauge is handed TapeLength + 5 at the end
  EXPECT_EQ(Percent(-3, 200), 0);
  EXPECT_EQ(Percent(0, 0), 100);
}

}  // namespace
}  // namespace fjl::cli
