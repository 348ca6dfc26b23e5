// Standard error as message box and progress line.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <utility>
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

// A clock the test moves by hand.
struct ManualClock {
  std::chrono::steady_clock::time_point now{};
  SteadyClock Clock() {
    return [this] { return now; };
  }
  void Advance(std::chrono::milliseconds by) { now += by; }
};

// A download resumed after 1000 kept bytes: the speed counts only what this
// run read, and none is given within the first second.
TEST(DownloadConsoleView, ProgressShowsBytesRecordsSpeedAndTimeSoFar) {
  Captured c;
  Console console(c.Writer(), true, Catalogue::For(Language::Russian));
  ManualClock clock;
  DownloadConsoleView view(console, "Лента", tape::kAuxCounterBoxes, false, 1000, clock.Clock());
  view.SetCounterText(tape::kAuxTotalBox, "7");
  clock.Advance(std::chrono::milliseconds(500));
  view.ShowProgress(1100, 1000000);
  EXPECT_EQ(c.writes.back(), "\rЛента: 1100 байт, записей 7, 0:00");
  // 60000 bytes in 62.5 s.
  clock.Advance(std::chrono::milliseconds(62000));
  view.ShowProgress(61000, 1000000);
  EXPECT_EQ(c.writes.back(), "\rЛента: 61000 байт, записей 7, 960 байт/с, 1:02");
  EXPECT_EQ(view.BytesStored(), 61000);

  Captured english;
  Console english_console(english.Writer(), true, Catalogue::For(Language::English));
  DownloadConsoleView english_view(english_console, "Tape", tape::kAuxCounterBoxes, false, 1000, clock.Clock());
  english_view.SetCounterText(tape::kAuxTotalBox, "7");
  clock.Advance(std::chrono::milliseconds(2000));
  english_view.ShowProgress(3000, 1000000);
  EXPECT_EQ(english.writes.back(), "\rTape: 3000 bytes, 7 records, 1000 bytes/s, 0:02");
}

// Chunks and records come faster than a terminal needs them: one drawing a
// tenth of a second at most, and the latest counts drawn before a message.
TEST(DownloadConsoleView, TheLineIsDrawnTenTimesASecondAtMostAndCaughtUpAtTheEnd) {
  Captured c;
  Console console(c.Writer(), true, Catalogue::For(Language::Russian));
  ManualClock clock;
  DownloadConsoleView view(console, "Лента", tape::kAuxCounterBoxes, false, 0, clock.Clock());
  view.ShowProgress(100, 1000);
  clock.Advance(std::chrono::milliseconds(40));
  view.SetCounterText(tape::kAuxTotalBox, "1");
  view.ShowProgress(200, 1000);
  view.SetCounterText(tape::kAuxTotalBox, "2");
  EXPECT_EQ(c.writes, (std::vector<std::string>{"\rЛента: 100 байт, записей 0, 0:00"}));
  clock.Advance(std::chrono::milliseconds(60));
  view.ShowProgress(300, 1000);
  EXPECT_EQ(c.writes.back(), "\rЛента: 300 байт, записей 2, 0:00");
  view.SetCounterText(tape::kAuxTotalBox, "3");
  view.ShowMessage("Готово");
  ASSERT_EQ(c.writes.size(), 4u);
  EXPECT_EQ(c.writes[2], "\rЛента: 300 байт, записей 3, 0:00");
  EXPECT_EQ(c.writes[3], "\nГотово\n");
}

TEST(ElapsedText, MinutesAndSecondsThenHours) {
  const std::pair<std::int64_t, const char*> cases[] = {
      {999, "0:00"}, {754000, "12:34"}, {3599999, "59:59"}, {3600000, "1:00:00"}, {36123000, "10:02:03"}};
  for (const auto& [ms, text] : cases) EXPECT_EQ(ElapsedText(std::chrono::milliseconds(ms)), text) << ms;
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
