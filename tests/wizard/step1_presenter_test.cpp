// Step 1 without a toolkit: connecting, the lists, the tape download's
// buttons and focus, stopping a download, and ending the program.

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include "fake_views.h"
#include "tape/download_messages.h"
#include "wizard/window_texts.h"

namespace fjl::wizard {
namespace {

using testing::FakeWizard;
using C = Step1Control;
using Texts = std::vector<std::string>;

const std::string kDone(tape::kMsgDownloadDone);
constexpr int kSampleTapeRecords = 42;

struct Buttons {
  bool read, connect, next;
  friend bool operator==(const Buttons&, const Buttons&) = default;
};
std::ostream& operator<<(std::ostream& out, const Buttons& b) {
  return out << "read=" << b.read << " connect=" << b.connect << " next=" << b.next;
}
Buttons TapeButtonsOf(const testing::FakeStep1& view) {
  return {view.IsEnabled(C::ReadTapeButton), view.IsEnabled(C::ConnectButton), view.IsEnabled(C::NextButton)};
}

TEST(Step1PresenterTest, StartsDisconnectedWithTheDefaultsAndTheFocusOnConnect) {
  FakeWizard w;
  const testing::FakeStep1& v = w.view1;
  EXPECT_EQ(v.indicator, IndicatorColour::Red);
  EXPECT_EQ(v.Text(C::ConnectButton), "Подключить");
  EXPECT_EQ(v.Text(C::PasswordBox), "482913");
  EXPECT_EQ(v.Text(C::SpeedList), "9600");
  EXPECT_EQ(v.items.at(C::SpeedList).size(), 11u);
  EXPECT_EQ(v.counters, Texts(21, "0"));
  EXPECT_FALSE(v.IsEnabled(C::ReadTapeButton));
  EXPECT_FALSE(v.IsEnabled(C::NextButton));
  EXPECT_TRUE(v.IsEnabled(C::ConnectButton));
  EXPECT_FALSE(v.visible);

  w.steps.Start();
  EXPECT_TRUE(v.visible);
  EXPECT_EQ(v.focus, C::ConnectButton);
}

TEST(Step1PresenterTest, ActivationWhileDisconnectedRefillsAndResetsBothLists) {
  FakeWizard w;
  w.steps.step1.Activated();
  w.view1.Select(C::PortList, 1);
  w.view1.Select(C::SpeedList, 10);
  w.ports = {"/dev/ttyUSB0", "/dev/ttyS0"};
  w.steps.step1.Activated();
  EXPECT_EQ(w.view1.items.at(C::PortList), (Texts{"/dev/ttyUSB0", "/dev/ttyS0"}));
  EXPECT_EQ(w.view1.Text(C::PortList), "/dev/ttyUSB0");
  EXPECT_EQ(w.view1.Text(C::SpeedList), "9600");

  w.ports.clear();
  w.steps.step1.Activated();
  EXPECT_EQ(w.view1.Text(C::PortList), "") << "nothing to select";
}

TEST(Step1PresenterTest, ActivationMakesTheDotTheDecimalSeparator) {
  FakeWizard w;
  const bool comma_locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  w.steps.step1.Activated();
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 1.5);
  EXPECT_STREQ(text, "1.5") << (comma_locale ? "after de_DE" : "de_DE not installed");
  EXPECT_EQ(w.toolkit.dot_separators, 1) << "and the toolkit's own formatting";
}

TEST(Step1PresenterTest, WhileConnectedTheListsKeepShowingThePortAndSpeedInUse) {
  FakeWizard w;
  w.ports = {"/dev/ttyS0", FakeWizard::kPort};
  w.steps.Start();
  w.steps.step1.Activated();
  w.view1.Select(C::PortList, 1);
  w.view1.Select(C::SpeedList, 7);  // 19200
  w.steps.step1.ConnectOrDisconnect();
  ASSERT_TRUE(w.steps.step1.Connected());

  // A message box closing, or a return from another program, activates
  // the window again; the port list may have changed meanwhile.
  w.ports = {"/dev/ttyACM0"};
  w.steps.step1.Activated();
  EXPECT_EQ(w.view1.Text(C::PortList), FakeWizard::kPort);
  EXPECT_EQ(w.view1.Text(C::SpeedList), "19200");
  EXPECT_FALSE(w.view1.IsEnabled(C::PortList));
  EXPECT_FALSE(w.view1.IsEnabled(C::SpeedList));
  EXPECT_TRUE(w.link.IsOpen());

  // Disconnected again, activation goes back to refilling and resetting.
  w.steps.step1.ConnectOrDisconnect();
  w.steps.step1.Activated();
  EXPECT_EQ(w.view1.items.at(C::PortList), Texts{"/dev/ttyACM0"});
  EXPECT_EQ(w.view1.Text(C::SpeedList), "9600");
}

TEST(Step1PresenterTest, ConnectAndDisconnectSwitchIndicatorCaptionListsAndReading) {
  FakeWizard w;
  w.Connect();
  EXPECT_TRUE(w.view1.messages.empty());
  EXPECT_EQ(w.view1.indicator, IndicatorColour::Green);
  EXPECT_EQ(w.view1.Text(C::ConnectButton), "Отключить");
  EXPECT_FALSE(w.view1.IsEnabled(C::PortList));
  EXPECT_FALSE(w.view1.IsEnabled(C::SpeedList));
  EXPECT_EQ(TapeButtonsOf(w.view1), (Buttons{true, true, false}));
  EXPECT_EQ(w.view1.focus, C::ReadTapeButton) << "reading is what comes next";

  w.steps.step1.ConnectOrDisconnect();
  EXPECT_FALSE(w.link.IsOpen());
  EXPECT_EQ(w.view1.indicator, IndicatorColour::Red);
  EXPECT_EQ(w.view1.Text(C::ConnectButton), "Подключить");
  EXPECT_TRUE(w.view1.IsEnabled(C::PortList));
  EXPECT_EQ(TapeButtonsOf(w.view1), (Buttons{false, true, false}));
}

TEST(Step1PresenterTest, APortThatCannotBeOpenedSaysSoAndChangesNothing) {
  FakeWizard w;
  w.steps.Start();
  w.steps.step1.Activated();
  w.view1.Select(C::PortList, 1);
  w.steps.step1.ConnectOrDisconnect();
  // The fake opener knows no such port.
  EXPECT_EQ(w.view1.messages, Texts{"Невозможно подключить порт\nПричина: нет такого порта (проверьте кабель и выбор порта)."});
  EXPECT_EQ(w.view1.indicator, IndicatorColour::Red);
  EXPECT_EQ(w.view1.Text(C::ConnectButton), "Подключить");
  EXPECT_TRUE(w.view1.IsEnabled(C::PortList));
  EXPECT_FALSE(w.view1.IsEnabled(C::ReadTapeButton));
}

TEST(Step1PresenterTest, SuccessfulDownloadPutsTheFocusOnNextNotOnFinish) {
  FakeWizard w;
  w.Connect();
  w.steps.step1.ReadTape();
  EXPECT_EQ(w.view1.messages, Texts{kDone});
  EXPECT_EQ(TapeButtonsOf(w.view1), (Buttons{false, false, true}));
  EXPECT_EQ(w.view1.focus, C::NextButton);
  EXPECT_EQ(w.view1.counters.back(), std::to_string(kSampleTapeRecords));
  EXPECT_EQ(w.view1.Text(C::ResultBox), "0000");
  EXPECT_EQ(w.view1.Text(C::StatusBox), "00 00 00 00 00 00");
  EXPECT_EQ(w.toolkit.busy_begun, 1);
  EXPECT_FALSE(w.toolkit.busy);
  EXPECT_GT(w.toolkit.responsive_calls, 0) << "the window is kept painted";
}

TEST(Step1PresenterTest, DuringTheDownloadOnlyReadingStaysEnabled) {
  FakeWizard w;
  w.Connect();
  std::vector<Buttons> seen;
  w.toolkit.on_responsive = [&] { seen.push_back(TapeButtonsOf(w.view1)); };
  w.steps.step1.ReadTape();
  ASSERT_FALSE(seen.empty());
  for (const Buttons& b : seen) EXPECT_EQ(b, (Buttons{true, false, false}));
}

// The default first port "connects" with nothing attached and fails after
// the wait: the user must be able to let it go and pick another.
TEST(Step1PresenterTest, AfterAFailedDownloadTheUserCanDisconnectAndPickAnotherPort) {
  struct Case {
    const char* name;
    sim::FaultRule fault;
    std::string message;
  };
  const Case cases[] = {
      // Nothing came since connecting: the line and the speed are to check.
      {"no reply", {.kind = sim::FaultKind::Silence, .command = 241}, std::string(tape::kMsgTimeout) + "\nПроверьте кабель и скорость порта; fjl-restore-cli --find сам найдёт порт и скорость регистратора."},
      // Error class 06, the printer's wrong password.
      {"device error", {.kind = sim::FaultKind::ErrorCode, .command = 241, .code = "0106"},
       std::string(tape::kMsgFlashReadError) + "\nНеверный пароль доступа!"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWizard w;
    w.Connect();
    w.simulator.AddFault(c.fault);
    w.steps.step1.ReadTape();
    EXPECT_EQ(w.view1.messages, Texts{c.message});
    EXPECT_EQ(TapeButtonsOf(w.view1), (Buttons{true, true, false})) << "retry, or disconnect";
    EXPECT_EQ(w.view1.Text(C::ConnectButton), "Отключить");

    w.steps.step1.ConnectOrDisconnect();
    EXPECT_FALSE(w.link.IsOpen());
    EXPECT_TRUE(w.view1.IsEnabled(C::PortList));
    EXPECT_FALSE(w.view1.IsEnabled(C::NextButton));

    // Another port now, then the right one again, and the tape comes.
    w.simulator.ClearFaults();
    w.view1.messages.clear();
    w.view1.Select(C::PortList, 1);
    w.steps.step1.ConnectOrDisconnect();
    EXPECT_EQ(w.view1.messages, Texts{"Невозможно подключить порт\nПричина: нет такого порта (проверьте кабель и выбор порта)."});
    w.view1.Select(C::PortList, 0);
    w.steps.step1.ConnectOrDisconnect();
    w.steps.step1.ReadTape();
    EXPECT_EQ(TapeButtonsOf(w.view1), (Buttons{false, false, true}));
  }
}

// Escape (or the close button) reaches the busy filter while the download
// lets the toolkit run; the question comes before the next request.
TEST(Step1PresenterTest, EscapeAsksAndAYesStopsAfterTheCurrentExchangeKeepingWhatCame) {
  FakeWizard w(testing::SmallChunks());
  w.Connect();
  int requests_at_escape = -1;
  w.toolkit.on_responsive = [&] {
    if (requests_at_escape < 0 && w.simulator.Requests().size() == 3) {
      requests_at_escape = 3;
      w.toolkit.PressEscape();
    }
  };
  w.view1.answers = {true};
  w.steps.step1.ReadTape();

  EXPECT_EQ(w.view1.questions, Texts{"Прервать чтение?"});
  // Three chunks of 50 bytes came; nothing is kept without a folder for it.
  EXPECT_EQ(w.view1.messages, Texts{"Чтение остановлено: прочитано 150 байт."});
  EXPECT_EQ(w.simulator.Requests().size(), 3u) << "no request after the answer";
  EXPECT_EQ(TapeButtonsOf(w.view1), (Buttons{true, true, false}));
  EXPECT_NE(w.view1.counters.back(), "0") << "what came is kept";
  EXPECT_EQ(w.steps.step1.Tape().TapeLength, 0);
  EXPECT_FALSE(w.toolkit.busy);
}

TEST(Step1PresenterTest, ANoToTheQuestionLetsTheDownloadRunToItsEnd) {
  FakeWizard w(testing::SmallChunks());
  w.Connect();
  bool pressed = false;
  w.toolkit.on_responsive = [&] {
    if (!pressed) w.toolkit.PressEscape();
    pressed = true;
  };
  w.view1.answers = {false};
  w.steps.step1.ReadTape();
  EXPECT_EQ(w.view1.questions.size(), 1u) << "asked once per press";
  EXPECT_EQ(w.view1.messages, Texts{kDone});
  EXPECT_EQ(TapeButtonsOf(w.view1), (Buttons{false, false, true}));
}

TEST(Step1PresenterTest, EscapeWithNoDownloadRunningDoesNothing) {
  FakeWizard w;
  w.Connect();
  w.steps.step1.EscapePressed();
  w.steps.step1.ReadTape();
  EXPECT_TRUE(w.view1.questions.empty());
  EXPECT_EQ(w.view1.messages, Texts{kDone});
}

TEST(Step1PresenterTest, CloseButtonRunsTheFinishFlowOrDuringADownloadAsksToStop) {
  {
    FakeWizard w;
    w.steps.Start();
    w.log.clear();
    w.steps.step1.CloseRequested();
    EXPECT_EQ(w.log, (testing::Log{"step 1: message: Приложение остановлено!", "step 1: closed"}));
  }
  {
    FakeWizard w(testing::SmallChunks());
    w.Connect();
    bool pressed = false;
    w.toolkit.on_responsive = [&] {
      if (!pressed) w.steps.step1.CloseRequested();
      pressed = true;
    };
    w.view1.answers = {true};
    w.steps.step1.ReadTape();
    EXPECT_EQ(w.view1.questions, Texts{"Прервать чтение?"});
    EXPECT_FALSE(w.view1.closed) << "the download stops, the program goes on";
    EXPECT_EQ(w.view1.messages, Texts{"Чтение остановлено: прочитано " +
                                      std::to_string(50 * w.simulator.Requests().size()) + " байт."});
  }
}

TEST(Step1PresenterTest, AnErrorInAHandlerGoesToTheErrorBoxAndTheWindowGoesOn) {
  FakeWizard w;
  w.steps.Start();
  w.ports_error = "device list unreadable";
  w.steps.step1.Activated();
  EXPECT_EQ(w.view1.errors, Texts{"device list unreadable"});
  EXPECT_TRUE(w.view1.messages.empty());

  w.ports_error.clear();
  w.steps.step1.Activated();
  EXPECT_EQ(w.view1.items.at(C::PortList), w.ports);
  w.steps.step1.Finish();
  EXPECT_EQ(w.view1.messages, Texts{"Приложение остановлено!"});
}

}  // namespace
}  // namespace fjl::wizard
