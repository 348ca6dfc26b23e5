// The keyboard in the Qt step windows: Enter on a focused button, Tab out
// of the tape box, the Tab stops, where the focus lands, and Escape or the
// close button in the middle of a download.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/qt/tape_text_box.h"
#include "sim_wizard.h"
#include "wizard/counter_cache.h"
#include "tape/download_messages.h"

namespace fjl::app {
namespace {

using namespace std::chrono_literals;

using testing::FakePortSource;
using testing::RecordingSink;
using testing::SimWizard;
using Texts = std::vector<std::string>;

void ShowActive(QWidget& window) {
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

class KeyboardTest : public ::testing::Test {
 protected:
  port::ScopedPortDiscovery discovery_{std::make_shared<FakePortSource>(std::vector<std::string>{})};

  link::DeviceLink link_{[](const std::string&, std::int32_t) { return nullptr; }};
  RecordingSink sink_;
  Wizard wizard_{link_, sink_};
};

TEST_F(KeyboardTest, EnterAndKeypadEnterPressTheFocusedButton) {
  ShowActive(wizard_.Form1);
  QPushButton* connect = wizard_.Form1.ConnectButton();
  connect->setFocus();
  QTest::keyClick(connect, Qt::Key_Return);
  QTest::keyClick(connect, Qt::Key_Enter, Qt::KeypadModifier);
  // No port to open: each press shows why.
  EXPECT_EQ(sink_.messages, (Texts{"Невозможно подключить порт\nПричина: нет такого порта (проверьте кабель и выбор порта).", "Невозможно подключить порт\nПричина: нет такого порта (проверьте кабель и выбор порта)."}));
  wizard_.Form1.hide();
}

TEST_F(KeyboardTest, TabLeavesTheTapeBoxWithoutTypingAndEnterStillBreaksALine) {
  ShowActive(wizard_.Form3);
  TapeTextBox* text = wizard_.Form3.TextBox();
  text->setFocus();
  QTest::keyClicks(text, "a");
  QTest::keyClick(text, Qt::Key_Return);
  QTest::keyClicks(text, "b");
  QTest::keyClick(text, Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), wizard_.Form3.RestoreButton());
  EXPECT_EQ(text->toPlainText(), "a\nb") << "no tab character in the tape";
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(QApplication::focusWidget(), text);
  wizard_.Form3.hide();
}

// Tab from the port list reaches the connect button in three presses and
// never stops on a read-only box or a counter; disabled buttons are passed.
TEST_F(KeyboardTest, TabVisitsOnlyTheTabStops) {
  ShowActive(wizard_.Form1);
  TForm1& form = wizard_.Form1;
  form.PortList()->setFocus();
  std::vector<QWidget*> visited;
  for (int i = 0; i < 5; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    visited.push_back(QApplication::focusWidget());
  }
  EXPECT_EQ(visited, (std::vector<QWidget*>{form.SpeedList(), form.PasswordBox(), form.ConnectButton(),
                                            form.FinishButton(), form.PortList()}));
  form.hide();

  ShowActive(wizard_.Form2);
  wizard_.Form2.ReadAuxButton()->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), wizard_.Form2.FinishButton());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(QApplication::focusWidget(), wizard_.Form2.ReadAuxButton()) << "past the shut \"Дальше ->\"";
  for (QLineEdit* box : {form.ResultBox(), form.StatusBox(), form.CounterBox(0), form.TotalBox(),
                         wizard_.Form2.ResultBox(), wizard_.Form2.CounterBox(0)}) {
    EXPECT_EQ(box->focusPolicy(), Qt::ClickFocus);
  }
  wizard_.Form2.hide();
}

TEST_F(KeyboardTest, TheProgramStartsWithTheFocusOnConnect) {
  wizard_.Steps.Start();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&wizard_.Form1));
  EXPECT_EQ(QApplication::focusWidget(), wizard_.Form1.ConnectButton());
  wizard_.Form1.hide();
}

// After the tape came, a stray Space goes on to step 2 instead of ending
// the program and throwing the tape away.
TEST(KeyboardFocusTest, AfterASuccessfulDownloadSpaceGoesOnToStep2) {
  SimWizard sim;
  sim.wizard->Steps.Start();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&sim.Form1()));
  sim.Form1().ConnectButton()->click();
  EXPECT_EQ(QApplication::focusWidget(), sim.Form1().ReadTapeButton());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  ASSERT_EQ(sim.sink.messages, Texts{std::string(tape::kMsgDownloadDone)});
  EXPECT_EQ(QApplication::focusWidget(), sim.Form1().NextButton());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
  EXPECT_TRUE(sim.Form2().isVisible());
  EXPECT_FALSE(sim.Form1().isVisible());
  EXPECT_EQ(sim.sink.messages.size(), 1u);
}

sim::SimulatorOptions SmallChunks() {
  sim::SimulatorOptions options;
  options.chunk_size = 50;
  return options;
}

// Escape and the close button during a download, each delivered the way Qt
// delivers it: the question comes over step 1 before the next request.
TEST(KeyboardFocusTest, EscapeOrTheCloseButtonDuringADownloadAskAndAYesStopsIt) {
  for (const bool by_close : {false, true}) {
    SCOPED_TRACE(by_close ? "close button" : "Escape");
    SimWizard sim(sim::SamplePrinterModel(), SmallChunks());
    sim.Connect();
    std::size_t requests_at_press = 0;
    sim.on_write = [&] {
      // A line slow enough that the window is due to look at its input at
      // every exchange.
      std::this_thread::sleep_for(wizard::kRedrawInterval + 5ms);
      if (requests_at_press != 0) return;
      requests_at_press = sim.simulator.Requests().size() + 1;  // this one is on its way
      if (by_close) {
        sim.Form1().close();
      } else {
        QTest::keyClick(&sim.Form1(), Qt::Key_Escape);
      }
    };
    sim.sink.answers = {true};
    sim.ReadTape();
    sim.on_write = nullptr;

    EXPECT_EQ(sim.sink.questions, Texts{"Прервать чтение?"});
    // The question and the message after it, both over step 1.
    EXPECT_EQ(sim.sink.titles, Texts(2, "Чтение контрольной ленты (Varkon KM-L710, KM-5820L). Шаг 1."));
    // Each request brought a chunk of 50 bytes before the stop.
    EXPECT_EQ(sim.sink.messages, Texts{"Чтение остановлено: прочитано " +
                                       std::to_string(50 * sim.simulator.Requests().size()) + " байт."});
    EXPECT_LE(sim.simulator.Requests().size(), requests_at_press + 1) << "stopped at the next chunk";
    EXPECT_TRUE(sim.Form1().isVisible()) << "the download stops, the program goes on";
    EXPECT_TRUE(sim.Form1().ConnectButton()->isEnabled());
    EXPECT_TRUE(sim.Form1().ReadTapeButton()->isEnabled());
    EXPECT_FALSE(sim.Form1().NextButton()->isEnabled());
  }
}

}  // namespace
}  // namespace fjl::app
