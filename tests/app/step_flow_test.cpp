// Moving forward through the steps and ending the program from each one.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "app/qt/wizard.h"
#include "app_test_support.h"
#include "link/device_link.h"

namespace fjl::app {
namespace {

using testing::CloseWatcher;
using testing::EventLog;
using testing::FakePortSource;
using testing::RecordingSink;

using Log = std::vector<std::string>;

class StepFlowTest : public ::testing::Test {
 protected:
  port::ScopedPortDiscovery discovery_{std::make_shared<FakePortSource>(std::vector<std::string>{})};

  EventLog log_;
  link::DeviceLink link_{[](const std::string&, std::int32_t) { return nullptr; }};
  RecordingSink sink_{&log_};
  Wizard wizard_{link_, sink_};
  CloseWatcher watch1_{wizard_.Form1, "step 1", log_};
  CloseWatcher watch2_{wizard_.Form2, "step 2", log_};
  CloseWatcher watch3_{wizard_.Form3, "step 3", log_};
  QSignalSpy main_closed_{&wizard_.Form1, &TForm1::MainWindowClosed};
};

void GoToStep2(Wizard& wizard) {
  wizard.Form1.show();
  // A successful tape download is what enables this button.
  wizard.Form1.NextButton()->setEnabled(true);
  wizard.Form1.NextButton()->click();
}

void GoToStep3(Wizard& wizard) {
  GoToStep2(wizard);
  wizard.Form2.NextButton()->setEnabled(true);
  wizard.Form2.NextButton()->click();
}

TEST_F(StepFlowTest, NextButtonsStayShutUntilTheirDownloadSucceeds) {
  wizard_.Form1.show();
  QTest::mouseClick(wizard_.Form1.NextButton(), Qt::LeftButton);
  EXPECT_TRUE(wizard_.Form1.isVisible());
  EXPECT_FALSE(wizard_.Form2.isVisible());
}

TEST_F(StepFlowTest, NextOnStep1HidesItAndShowsStep2WithItsNextShut) {
  GoToStep2(wizard_);
  EXPECT_FALSE(wizard_.Form1.isVisible());
  EXPECT_TRUE(wizard_.Form2.isVisible());
  EXPECT_FALSE(wizard_.Form3.isVisible());
  EXPECT_FALSE(wizard_.Form2.NextButton()->isEnabled());
  EXPECT_TRUE(log_.entries.empty()) << "hiding is not closing";
  EXPECT_EQ(main_closed_.count(), 0);
}

TEST_F(StepFlowTest, NextOnStep2HidesItAndShowsStep3) {
  GoToStep3(wizard_);
  EXPECT_FALSE(wizard_.Form1.isVisible());
  EXPECT_FALSE(wizard_.Form2.isVisible());
  EXPECT_TRUE(wizard_.Form3.isVisible());
  EXPECT_TRUE(log_.entries.empty());
}

TEST_F(StepFlowTest, HiddenStepsKeepWhatTheyHold) {
  wizard_.Form1.PasswordBox()->setText("111111");
  wizard_.Form1.CounterBox(5)->setText("17");
  GoToStep3(wizard_);
  EXPECT_EQ(wizard_.Steps.step1.PasswordBytes(), "111111");
  EXPECT_EQ(wizard_.Form1.CounterBox(5)->text(), "17");
}

TEST_F(StepFlowTest, FinishOnEachStepShowsItsMessageThenClosesInOrder) {
  struct Case {
    const char* name;
    int step;
    bool restore_finished;
    Log expected;
  };
  const Case cases[] = {
      {"step 1", 1, false, {"message: Приложение остановлено!", "closed: step 1"}},
      {"step 2",
       2,
       false,
       {"message: Приложение остановлено!", "closed: step 1", "closed: step 2"}},
      {"step 3 before restoring",
       3,
       false,
       {"message: Приложение остановлено!", "closed: step 2", "closed: step 1",
        "closed: step 3"}},
      {"step 3 after restoring",
       3,
       true,
       {"message: Успешно! Завершение приложения!", "closed: step 2", "closed: step 1",
        "closed: step 3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EventLog log;
    RecordingSink sink(&log);
    Wizard wizard(link_, sink);
    CloseWatcher w1(wizard.Form1, "step 1", log);
    CloseWatcher w2(wizard.Form2, "step 2", log);
    CloseWatcher w3(wizard.Form3, "step 3", log);
    QSignalSpy main_closed(&wizard.Form1, &TForm1::MainWindowClosed);
    QPushButton* finish = nullptr;
    switch (c.step) {
      case 1:
        wizard.Form1.show();
        finish = wizard.Form1.FinishButton();
        break;
      case 2:
        GoToStep2(wizard);
        finish = wizard.Form2.FinishButton();
        break;
      default:
        GoToStep3(wizard);
        wizard.Steps.step3.Restoration().RestoreFinished = c.restore_finished;
        finish = wizard.Form3.FinishButton();
        break;
    }
    finish->click();
    EXPECT_EQ(log.entries, c.expected);
    EXPECT_EQ(main_closed.count(), 1) << "the main window's closing ends the program";
    EXPECT_FALSE(wizard.Form1.isVisible());
    EXPECT_FALSE(wizard.Form2.isVisible());
    EXPECT_FALSE(wizard.Form3.isVisible());
  }
}

// The window manager's close button (drawn by some window managers despite
// the tool-window style) takes the way "Завершить" takes: its message, then
// the closing. The request itself is the first close event each log shows;
// the window refuses it and the presenter closes the windows.
TEST_F(StepFlowTest, ClosingALaterStepFromOutsideRunsItsFinishFlow) {
  GoToStep2(wizard_);
  wizard_.Form2.close();
  QCoreApplication::processEvents();
  EXPECT_EQ(log_.entries, (Log{"closed: step 2", "message: Приложение остановлено!", "closed: step 1",
                               "closed: step 2"}));
  EXPECT_EQ(main_closed_.count(), 1);
  EXPECT_FALSE(wizard_.Form2.isVisible());
  EXPECT_EQ(sink_.titles, std::vector<std::string>{"Чтение вспомогательных данных. Шаг 2."});
}

TEST_F(StepFlowTest, ClosingStep3FromOutsideRunsItsFinishFlow) {
  GoToStep3(wizard_);
  wizard_.Form3.close();
  QCoreApplication::processEvents();
  EXPECT_EQ(log_.entries, (Log{"closed: step 3", "message: Приложение остановлено!", "closed: step 2",
                               "closed: step 1", "closed: step 3"}));
  EXPECT_EQ(main_closed_.count(), 1);
}

TEST_F(StepFlowTest, ClosingTheMainWindowFromOutsideShowsTheMessageFirst) {
  wizard_.Form1.show();
  wizard_.Form1.close();
  QCoreApplication::processEvents();
  EXPECT_EQ(log_.entries, (Log{"closed: step 1", "message: Приложение остановлено!", "closed: step 1"}));
  EXPECT_EQ(main_closed_.count(), 1);
  EXPECT_FALSE(wizard_.Form1.isVisible());
}

}  // namespace
}  // namespace fjl::app
