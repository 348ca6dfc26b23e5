// The download runner draws the record counts at the screen's pace: every
// count exact, the boxes moving while records come, and nothing stale under
// a message box or the stop question.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "fake_views.h"
#include "tape/record_counters.h"
#include "wizard/download_runner.h"

namespace fjl::wizard {
namespace {

using namespace std::chrono_literals;
using tape::kAuxCounterBoxes;
using tape::kAuxTotalBox;

// Counter boxes that remember every text drawn into them.
struct DrawnBoxes final : tape::RecordCounterView {
  std::vector<std::string> shown = std::vector<std::string>(kAuxCounterBoxes.size(), "0");
  std::vector<std::string> total_drawn;
  std::string CounterText(std::size_t box) const override { return shown.at(box); }
  void SetCounterText(std::size_t box, std::string_view text) override {
    shown.at(box) = std::string(text);
    if (box == kAuxTotalBox) total_drawn.emplace_back(text);
  }
};

// Each message and question, with the total the window showed under it.
struct Boxes final : MessageSink {
  const DrawnBoxes* counters = nullptr;
  std::vector<std::string> totals_under;
  void ShowMessage(std::string_view) override { totals_under.push_back(counters->shown[kAuxTotalBox]); }
  void ShowError(std::string_view) override { totals_under.push_back(counters->shown[kAuxTotalBox]); }
};

class DownloadRunnerTest : public ::testing::Test {
 protected:
  DownloadRunnerTest() {
    messages.counters = &drawn;
    toolkit.clock = [this] { return now; };
    hooks.ask_yes_no = [this](std::string_view) {
      messages.totals_under.push_back(drawn.shown[kAuxTotalBox]);
      return false;
    };
  }
  // Counts `records` records of the first kind, `step` apart in time, from
  // what the boxes show (no reset, as a count typed into a box goes on).
  void Count(int records, std::chrono::milliseconds step, const std::function<void(const DownloadSurface&)>& then) {
    runner.Run(hooks, drawn, messages, [&](const DownloadSurface& on) {
      tape::RecordCounters counters(on.counters, kAuxCounterBoxes);
      for (int record = 0; record < records; ++record) {
        now += step;
        EXPECT_FALSE(counters.CountRecord(0));
        if (record % 10 == 9) {
          EXPECT_FALSE(on.stop.StopRequested());  // a chunk's end
        }
      }
      if (then) then(on);
      return tape::DownloadOutcome::Success;
    });
  }

  testing::FakeToolkit toolkit;
  DownloadRunner runner{toolkit};
  DownloadHooks hooks{[](std::string_view) {}, [](std::string_view) {}, nullptr, [](DownloadPhase) {}};
  DrawnBoxes drawn;
  Boxes messages;
  std::chrono::steady_clock::time_point now{};
};

TEST_F(DownloadRunnerTest, DrawsTheCountsAtTheScreensPaceAndExactlyAtTheEnd) {
  // 100 records 10 ms apart: a second of download, some 25 draws at 40 ms.
  Count(100, 10ms, nullptr);
  EXPECT_EQ(drawn.shown[0], "100");
  EXPECT_EQ(drawn.shown[kAuxTotalBox], "100");
  EXPECT_GE(drawn.total_drawn.size(), 20u);
  EXPECT_LE(drawn.total_drawn.size(), 30u);
  for (std::size_t i = 1; i < drawn.total_drawn.size(); ++i) {
    EXPECT_LT(std::stoi(drawn.total_drawn[i - 1]), std::stoi(drawn.total_drawn[i])) << i;
  }
}

TEST_F(DownloadRunnerTest, RecordsFasterThanTheScreenAreDrawnRarelyYetCountedFromTheBoxesText) {
  drawn.shown[0] = "12";
  drawn.shown[kAuxTotalBox] = "40";
  Count(1000, 0ms, nullptr);
  EXPECT_EQ(drawn.shown[0], "1012");
  // Drawn at the first exchange (ten records in) and at the end.
  EXPECT_EQ(drawn.total_drawn, (std::vector<std::string>{"50", "1040"}));
  EXPECT_EQ(drawn.shown[1], "0");
}

TEST_F(DownloadRunnerTest, AMessageOrTheStopQuestionComesOverTheCurrentCounts) {
  toolkit.on_responsive = [this] { toolkit.PressEscape(); };
  Count(15, 1ms, [](const DownloadSurface& on) {
    on.messages.ShowError("Ошибка!");
    on.messages.ShowMessage("Успешно.");
  });
  // The question after the tenth record, the two boxes after the fifteenth.
  EXPECT_EQ(messages.totals_under, (std::vector<std::string>{"10", "15", "15"}));
}

}  // namespace
}  // namespace fjl::wizard
