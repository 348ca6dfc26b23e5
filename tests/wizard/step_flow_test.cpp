// Moving through the steps, where the focus lands, whose window the boxes
// belong to, and ending the program from each step by "Завершить" or by the
// window manager's close button.

#include <gtest/gtest.h>

#include <algorithm>

#include "fake_views.h"
#include "platform/system_result.h"
#include "tape/download_messages.h"

namespace fjl::wizard {
namespace {

using testing::FakeWizard;
using testing::Log;
using Texts = std::vector<std::string>;

const std::string kDone(tape::kMsgDownloadDone);

TEST(StepFlowTest, EachStepOpensWithTheFocusOnItsMainButton) {
  FakeWizard w;
  w.Connect();
  w.steps.step1.ReadTape();
  w.log.clear();
  w.steps.step1.Next();
  EXPECT_EQ(w.log, (Log{"step 1: hidden", "step 2: shown"}));
  EXPECT_EQ(w.view2.focus, Step2Control::ReadAuxButton);
  EXPECT_FALSE(w.view2.IsEnabled(Step2Control::NextButton)) << "whatever happened in step 1";

  w.steps.step2.ReadAux();
  EXPECT_EQ(w.view2.focus, Step2Control::NextButton) << "after success, on to step 3";
  w.log.clear();
  w.steps.step2.Next();
  EXPECT_EQ(w.log, (Log{"step 2: hidden", "step 3: shown"}));
  EXPECT_EQ(w.view3.focus, Step3Control::RestoreButton);
}

// Every box of a step comes over that step's window, so it carries that
// window's caption.
TEST(StepFlowTest, MessagesComeOverTheWindowWhoseHandlerRuns) {
  FakeWizard w;
  w.ReachStep3();
  EXPECT_EQ(w.view1.messages, Texts{kDone});
  EXPECT_EQ(w.view2.messages, Texts{kDone});
  w.simulator.AddFault({.kind = sim::FaultKind::Silence, .command = 0x42, .limit = 1});
  w.steps.step3.Restore();
  EXPECT_EQ(w.view3.messages, Texts{"Таймаут устройства! GetSerialNumber Ошибка!"});
  EXPECT_EQ(w.view1.messages.size(), 1u);
}

// The log stops taking entries during the tape download: step 1's status
// box says so once the download is over, and no later step says it again;
// a failure first met in step 3, which has no status box, gets a box.
TEST(StepFlowTest, ALogThatStopsBeingWrittenIsToldOnce) {
  constexpr int kFull = 28;  // any system code: its words are the platform's affair
  const std::string notice = "Журнал сеанса неполон: " + platform::SystemResult(kFull).UserText();
  FakeWizard w;
  int entries = 0;
  w.link.SetSessionLogName("session.log");
  w.link.SetLogWriter([&](const auto&, auto) { return platform::SystemResult(++entries > 4 ? kFull : 0); });
  w.Connect();
  EXPECT_NE(w.view1.Text(Step1Control::StatusBox), notice);
  w.steps.step1.ReadTape();
  EXPECT_EQ(w.view1.Text(Step1Control::StatusBox), notice);
  w.steps.step1.Next();
  w.steps.step2.ReadAux();
  EXPECT_NE(w.view2.Text(Step2Control::StatusBox), notice);
  w.steps.step2.Next();
  w.steps.step3.Restore();
  w.link.SetSessionLogName("other.log");
  w.steps.step3.Restore();
  EXPECT_EQ(std::count(w.view3.messages.begin(), w.view3.messages.end(), notice), 1);
}

TEST(StepFlowTest, AuxDownloadFailureKeepsReadingAndShutsNext) {
  FakeWizard w;
  w.Connect();
  w.steps.step1.ReadTape();
  w.steps.step1.Next();
  w.simulator.AddFault({.kind = sim::FaultKind::ErrorCode, .command = 241, .code = "0106"});
  w.steps.step2.ReadAux();
  EXPECT_EQ(w.view2.messages, Texts{std::string(tape::kMsgFlashReadError) + "\nНеверный пароль доступа!"});
  EXPECT_TRUE(w.view2.IsEnabled(Step2Control::ReadAuxButton));
  EXPECT_FALSE(w.view2.IsEnabled(Step2Control::NextButton));
  EXPECT_EQ(w.view2.Text(Step2Control::ResultBox), "0106");
  EXPECT_EQ(w.view1.Text(Step1Control::ResultBox), "0000") << "step 1's boxes are left alone";
}

TEST(StepFlowTest, EscapeStopsTheAuxDownloadToo) {
  FakeWizard w(testing::SmallChunks());
  w.Connect();
  w.steps.step1.ReadTape();
  w.steps.step1.Next();
  bool pressed = false;
  w.toolkit.on_responsive = [&] {
    if (!pressed) w.steps.step2.CloseRequested();
    pressed = true;
  };
  w.view2.answers = {true};
  const std::size_t before = w.simulator.Requests().size();
  w.steps.step2.ReadAux();
  EXPECT_EQ(w.view2.questions, Texts{"Прервать чтение?"});
  EXPECT_EQ(w.view2.messages, Texts{"Чтение остановлено: прочитано " +
                                    std::to_string(50 * (w.simulator.Requests().size() - before)) + " байт."});
  EXPECT_TRUE(w.view2.IsEnabled(Step2Control::ReadAuxButton));
  EXPECT_FALSE(w.view2.IsEnabled(Step2Control::NextButton));
  EXPECT_FALSE(w.view2.closed);
}

struct FinishCase {
  const char* name;
  int step;
  bool restored;
  bool by_close_button;
  Log expected;
};

// The window manager's close button takes the same way as "Завершить":
// the message first, then the windows close in the order the step closes them.
TEST(StepFlowTest, FinishAndTheCloseButtonShowTheMessageThenCloseInOrder) {
  const Log from_step1 = {"step 1: message: Приложение остановлено!", "step 1: closed"};
  const Log from_step2 = {"step 2: message: Приложение остановлено!", "step 1: closed", "step 2: closed"};
  const Log from_step3 = {"step 3: message: Приложение остановлено!", "step 2: closed", "step 1: closed",
                          "step 3: closed"};
  const Log from_step3_restored = {"step 3: message: Успешно! Завершение приложения!", "step 2: closed",
                                   "step 1: closed", "step 3: closed"};
  const FinishCase cases[] = {
      {"step 1", 1, false, false, from_step1},
      {"step 1, close button", 1, false, true, from_step1},
      {"step 2", 2, false, false, from_step2},
      {"step 2, close button", 2, false, true, from_step2},
      {"step 3 before restoring", 3, false, false, from_step3},
      {"step 3 before restoring, close button", 3, false, true, from_step3},
      {"step 3 after restoring", 3, true, false, from_step3_restored},
      {"step 3 after restoring, close button", 3, true, true, from_step3_restored},
  };
  for (const FinishCase& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWizard w;
    if (c.step == 1) {
      w.Connect();
    } else {
      w.ReachStep3();
      if (c.step == 2) {
        w.steps.step3.CloseWindow();  // not part of the case: back to a step 2 state
      }
    }
    if (c.restored) w.steps.step3.Restore();
    w.log.clear();
    switch (c.step) {
      case 1: c.by_close_button ? w.steps.step1.CloseRequested() : w.steps.step1.Finish(); break;
      case 2: c.by_close_button ? w.steps.step2.CloseRequested() : w.steps.step2.Finish(); break;
      default: c.by_close_button ? w.steps.step3.CloseRequested() : w.steps.step3.Finish(); break;
    }
    EXPECT_EQ(w.log, c.expected);
  }
}

TEST(StepFlowTest, ACloseRequestWhileTheProgramIsEndingIsNotASecondEnd) {
  FakeWizard w;
  w.steps.Start();
  w.log.clear();
  w.view1.while_message_shown = [&] { w.steps.step1.CloseRequested(); };
  w.steps.step1.CloseRequested();
  EXPECT_EQ(w.log, (Log{"step 1: message: Приложение остановлено!", "step 1: closed"}));
}

TEST(StepFlowTest, TheCloseButtonWaitsForARestorationToEnd) {
  FakeWizard w;
  w.ReachStep3();
  bool pressed = false;
  w.toolkit.on_responsive = [&] {
    if (!pressed) w.steps.step3.CloseRequested();
    pressed = true;
  };
  w.steps.step3.Restore();
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(w.view3.messages.empty());
  EXPECT_FALSE(w.view3.closed);
  EXPECT_TRUE(w.steps.step3.RestoreFinished());
  EXPECT_EQ(w.toolkit.busy_begun, 3) << "both downloads and the restoration";
  EXPECT_FALSE(w.toolkit.busy);
}

TEST(StepFlowTest, ACompletedRestorationMovesTheFocusToSave) {
  FakeWizard w;
  w.ReachStep3();
  w.steps.step3.Restore();
  EXPECT_FALSE(w.view3.IsEnabled(Step3Control::RestoreButton));
  EXPECT_EQ(w.view3.focus, Step3Control::SaveButton);
  EXPECT_EQ(w.view3.lines.front(), "") << "the box's first line stays";
  EXPECT_EQ(w.view3.gauge_progress.back(), w.steps.step1.Tape().TapeLength);
  EXPECT_NE(w.steps.step1.LastResponse().Command, 241) << "the run's reads land in step 1's slot";
}

}  // namespace
}  // namespace fjl::wizard
