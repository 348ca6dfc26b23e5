// The rules the step windows of every toolkit follow: the button tables of
// the downloads, the keyboard, the gauge, and what an unhandled error does.
// Where Tab goes is tested on the windows themselves, which take their
// order from the tables (tests/app, tests/win32_app).

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <stdexcept>

#include "fake_views.h"
#include "wizard/button_tables.h"
#include "wizard/gauge.h"
#include "wizard/guarded.h"
#include "wizard/keyboard.h"
#include "wizard/layout.h"

namespace fjl::wizard {
namespace {

using tape::DownloadOutcome;

// The buttons as the windows show them: before, during and after each
// download.
struct Shown {
  bool read, connect_or_finish, next;
  friend bool operator==(const Shown&, const Shown&) = default;
};
std::ostream& operator<<(std::ostream& out, const Shown& b) {
  return out << "read=" << b.read << " connect/finish=" << b.connect_or_finish << " next=" << b.next;
}

// What the buttons showed each time the download let the window paint.
template <class Download, class ButtonsNow>
std::vector<Shown> ShownDuring(testing::FakeWizard& w, Download download, ButtonsNow shown) {
  std::vector<Shown> during;
  w.toolkit.on_responsive = [&] { during.push_back(shown()); };
  download();
  w.toolkit.on_responsive = nullptr;
  return during;
}

TEST(ButtonTablesTest, StepOne) {
  using C = Step1Control;
  testing::FakeWizard w;
  const auto shown = [&] {
    return Shown{w.view1.IsEnabled(C::ReadTapeButton), w.view1.IsEnabled(C::ConnectButton),
                 w.view1.IsEnabled(C::NextButton)};
  };
  w.Connect();
  EXPECT_EQ(shown(), (Shown{true, true, false}));
  const std::vector<Shown> during = ShownDuring(w, [&] { w.steps.step1.ReadTape(); }, shown);
  ASSERT_FALSE(during.empty());
  for (const Shown& b : during) EXPECT_EQ(b, (Shown{true, false, false}));
  EXPECT_EQ(shown(), (Shown{false, false, true}));
}

TEST(ButtonTablesTest, StepTwo) {
  using C = Step2Control;
  testing::FakeWizard w;
  const auto shown = [&] {
    return Shown{w.view2.IsEnabled(C::ReadAuxButton), w.view2.IsEnabled(C::FinishButton),
                 w.view2.IsEnabled(C::NextButton)};
  };
  w.Connect();
  w.steps.step1.ReadTape();
  w.steps.step1.Next();
  EXPECT_EQ(shown(), (Shown{true, true, false}));
  const std::vector<Shown> during = ShownDuring(w, [&] { w.steps.step2.ReadAux(); }, shown);
  ASSERT_FALSE(during.empty());
  for (const Shown& b : during) EXPECT_EQ(b.next, false);
  EXPECT_EQ(shown().read, false);
  EXPECT_EQ(shown().next, true);
}

TEST(ButtonTablesTest, OnlySuccessLeadsOnAndAStopEndsAsAFailure) {
  for (auto outcome : {DownloadOutcome::Timeout, DownloadOutcome::LinkError, DownloadOutcome::DeviceError,
                       DownloadOutcome::BadData, DownloadOutcome::UnknownRecord,
                       DownloadOutcome::CounterNotNumber, DownloadOutcome::Cancelled}) {
    EXPECT_EQ(wizard::PhaseAfter(outcome), DownloadPhase::Failed) << static_cast<int>(outcome);
  }
  EXPECT_EQ(wizard::PhaseAfter(DownloadOutcome::Success), DownloadPhase::Succeeded);
}

TEST(KeyboardTest, EnterPressesAFocusedButtonAndTabAlwaysMovesTheFocus) {
  struct Case {
    Key key;
    ControlKind focused;
    KeyAction action;
  };
  const Case cases[] = {
      {Key::Enter, ControlKind::Button, KeyAction::PressButton},
      {Key::Enter, ControlKind::TextBox, KeyAction::ToolkitDefault},  // a new line in the tape
      {Key::Enter, ControlKind::EditBox, KeyAction::ToolkitDefault},
      {Key::Enter, ControlKind::List, KeyAction::ToolkitDefault},
      // No tab character may reach the text that is saved.
      {Key::Tab, ControlKind::TextBox, KeyAction::FocusNext},
      {Key::BackTab, ControlKind::TextBox, KeyAction::FocusPrevious},
      {Key::Tab, ControlKind::Button, KeyAction::FocusNext},
      {Key::Tab, ControlKind::EditBox, KeyAction::FocusNext},
      {Key::Escape, ControlKind::Button, KeyAction::AskToStop},
      {Key::Escape, ControlKind::Other, KeyAction::AskToStop},
      {Key::Other, ControlKind::Button, KeyAction::ToolkitDefault},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeyActionFor(c.key, c.focused), c.action)
        << static_cast<int>(c.key) << " on " << static_cast<int>(c.focused);
  }
}

// A front end that places its own controls keeps the label's distance at
// every DPI, rounding up rather than letting it shrink.
TEST(LayoutTest, TheLabelGapScalesWithTheDpiAndNeverShrinks) {
  struct Case {
    int dpi;
    int gap;
  };
  const Case cases[] = {{96, 8}, {120, 10}, {144, 12}, {168, 14}, {192, 16}, {110, 10}};  // 9.2 rounds up
  for (const Case& c : cases) EXPECT_EQ(ScaledPixels(kLabelGap, c.dpi), c.gap) << c.dpi;
}

TEST(GaugeTest, PercentIsTruncatedAndProgressClamped) {
  struct Case {
    std::int32_t minimum, maximum, progress;
    std::int32_t shown_progress;
    int percent;
  };
  const Case cases[] = {
      {0, 100, 0, 0, 0},
      {0, 200, 50, 50, 25},
      {0, 3, 2, 2, 66},         // 66.6 is cut, not rounded
      {0, 200, 500, 200, 100},  // above the range
      {0, 200, -3, 0, 0},       // below it
      {10, 20, 15, 15, 50},     // the minimum counts
      {0, 0, 5, 0, 0},          // an empty tape: nothing to show
      {0, INT32_MAX, INT32_MAX / 2, INT32_MAX / 2, 49},  // no overflow
      {0, INT32_MAX, INT32_MAX, INT32_MAX, 100},
  };
  for (const Case& c : cases) {
    GaugeState gauge;
    gauge.SetRange(c.minimum, c.maximum);
    gauge.SetProgress(c.progress);
    EXPECT_EQ(gauge.Progress(), c.shown_progress) << c.maximum << " " << c.progress;
    EXPECT_EQ(gauge.PercentDone(), c.percent) << c.maximum << " " << c.progress;
    EXPECT_EQ(gauge.Text(), std::to_string(c.percent) + "%");
  }
}

TEST(GaugeTest, NarrowingTheRangeClampsAndTheBarFillsInProportion) {
  GaugeState gauge;
  gauge.SetProgress(80);
  gauge.SetRange(0, 40);
  EXPECT_EQ(gauge.Progress(), 40);
  gauge.SetRange(50, 10);  // a maximum below the minimum is raised to it
  EXPECT_EQ(gauge.Maximum(), 50);
  EXPECT_EQ(gauge.Progress(), 50);

  gauge.SetRange(0, INT32_MAX);
  gauge.SetProgress(INT32_MAX / 4);
  EXPECT_EQ(gauge.FilledWidth(200), 49);
  EXPECT_EQ(gauge.FilledWidth(-5), 0);
}

TEST(GuardedTest, AnEscapingErrorGoesToTheErrorBoxAndTheHandlerEnds) {
  std::vector<std::string> errors;
  const auto show = [&](std::string_view text) { errors.emplace_back(text); };
  int reached = 0;
  RunGuarded(show, [&] {
    ++reached;
    throw std::runtime_error("Ошибка записи");
  });
  RunGuarded(show, [] { throw 42; });
  RunGuarded(show, [&] { ++reached; });
  EXPECT_EQ(reached, 2);
  EXPECT_EQ(errors, (std::vector<std::string>{"Ошибка записи", std::string(kUnknownErrorText)}));
}

}  // namespace
}  // namespace fjl::wizard
