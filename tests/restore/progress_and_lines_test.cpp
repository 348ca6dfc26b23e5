#include <gtest/gtest.h>

#include "restore/line_sink.h"
#include "restore/gauge_throttle.h"
#include "restore/restore_harness.h"

namespace fjl::restore {
namespace {

using testing::RecordingView;

TEST(GaugeThrottle, RedrawsOnlyWhenThePercentageChanges) {
  RecordingView view;
  GaugeThrottle gauge(view);
  gauge.SetRange(0, 200004);
  for (std::int64_t p = 0; p <= 200004; ++p) gauge.SetProgress(p);
  EXPECT_EQ(view.minimum, 0);
  EXPECT_EQ(view.maximum, 200004);
  ASSERT_EQ(view.progress_shown.size(), 101u);  // 0 % .. 100 %
  EXPECT_EQ(view.progress_shown.front(), 0);
  EXPECT_EQ(view.progress_shown[1], 2001);  // the first position at 1 %
  EXPECT_EQ(view.progress_shown.back(), 200004);
}

TEST(GaugeThrottle, ClampsToItsRange) {
  RecordingView view;
  GaugeThrottle gauge(view);
  gauge.SetRange(0, 100);
  EXPECT_TRUE(gauge.SetProgress(105));
  EXPECT_EQ(view.progress_shown.back(), 100);
  EXPECT_FALSE(gauge.SetProgress(1000));
  EXPECT_TRUE(gauge.SetProgress(-3));
  EXPECT_EQ(view.progress_shown.back(), 0);
}

TEST(GaugeThrottle, AnEmptyRangeIsFullAtOnce) {
  RecordingView view;
  GaugeThrottle gauge(view);
  gauge.SetRange(0, 0);
  EXPECT_EQ(view.progress_shown, std::vector<std::int32_t>{0});
  EXPECT_FALSE(gauge.SetProgress(5));
}

TEST(LineSink, StartsWithTheBoxsEmptyLineAndHandsOverBatches) {
  RecordingView view;
  LineSink sink(&view, 3);
  ASSERT_EQ(sink.LineCount(), 1u);
  EXPECT_EQ(sink.Line(0), "");
  for (int i = 1; i <= 7; ++i) sink.Append("line " + std::to_string(i));
  EXPECT_EQ(view.batches, (std::vector<std::size_t>{3, 3}));
  sink.Flush();
  sink.Flush();  // nothing new: no empty batch
  EXPECT_EQ(view.batches, (std::vector<std::size_t>{3, 3, 1}));
  EXPECT_EQ(view.shown, std::vector<std::string>(sink.Lines().begin(), sink.Lines().end()));
  EXPECT_EQ(sink.Line(7), "line 7");
}

TEST(LineSink, CanStartFromLinesTheBoxAlreadyShows) {
  RecordingView view;
  view.shown = {"", "typed by hand"};
  LineSink sink({"", "typed by hand"}, &view);
  sink.Append("next");
  sink.Flush();
  EXPECT_EQ(view.shown, (std::vector<std::string>{"", "typed by hand", "next"}));
  EXPECT_EQ(sink.Line(1), "typed by hand");
}

}  // namespace
}  // namespace fjl::restore
