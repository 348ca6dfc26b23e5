// The connect/disconnect button, its indicator and the port and speed lists
// that step 1 refills whenever it becomes active.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <clocale>
#include <cstdio>
#include <stdexcept>

#include "app/qt/status_indicator.h"
#include "app/qt/wizard.h"
#include "app_test_support.h"
#include "link/device_link.h"
#include "serial/posix/serial_posix.h"

namespace fjl::app {
namespace {

using testing::FakePortSource;
using testing::PtyPair;
using testing::RecordingSink;
using testing::Utf8;

const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);

QStringList Items(const QComboBox& list) {
  QStringList items;
  for (int i = 0; i < list.count(); ++i) items << list.itemText(i);
  return items;
}

// The user comes back to the window from another one.
void Activate(QWidget& window) {
  QEvent deactivation(QEvent::WindowDeactivate);
  QApplication::sendEvent(&window, &deactivation);
  QEvent activation(QEvent::WindowActivate);
  QApplication::sendEvent(&window, &activation);
}

class ConnectionTest : public ::testing::Test {
 protected:
  void ExpectDisconnected() {
    EXPECT_EQ(form_.Indicator()->Color(), kRed);
    EXPECT_FALSE(wizard_.Steps.step1.Connected());
    EXPECT_EQ(Utf8(form_.ConnectButton()->text()), "Подключить");
    EXPECT_TRUE(form_.PortList()->isEnabled());
    EXPECT_TRUE(form_.SpeedList()->isEnabled());
    EXPECT_FALSE(form_.ReadTapeButton()->isEnabled());
    EXPECT_TRUE(form_.ConnectButton()->isEnabled());
  }
  void ExpectConnected() {
    EXPECT_EQ(form_.Indicator()->Color(), kGreen);
    EXPECT_TRUE(wizard_.Steps.step1.Connected());
    EXPECT_EQ(Utf8(form_.ConnectButton()->text()), "Отключить");
    EXPECT_FALSE(form_.PortList()->isEnabled());
    EXPECT_FALSE(form_.SpeedList()->isEnabled());
    EXPECT_TRUE(form_.ReadTapeButton()->isEnabled());
  }

  std::shared_ptr<FakePortSource> source_ = std::make_shared<FakePortSource>(std::vector<std::string>{});
  port::ScopedPortDiscovery discovery_{source_};
  link::DeviceLink link_{&serial::OpenPosixSerialChannel};
  RecordingSink sink_;
  Wizard wizard_{link_, sink_};
  TForm1& form_ = wizard_.Form1;
};

TEST_F(ConnectionTest, ActivationListsDiscoveredPortsThenExtraOnesAndSelectsDefaults) {
  source_->SetNames(std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB1"});
  port::TPortControl::SetExtraPorts({"/tmp/sim-pty"});
  Activate(form_);
  EXPECT_EQ(Items(*form_.PortList()), (QStringList{"/dev/ttyS0", "/dev/ttyUSB1", "/tmp/sim-pty"}));
  EXPECT_EQ(form_.PortList()->currentIndex(), 0);
  EXPECT_EQ(form_.SpeedList()->currentText(), "9600");
  EXPECT_EQ(form_.SpeedList()->count(), 11);
}

TEST_F(ConnectionTest, EveryActivationRefillsAndResetsBothLists) {
  source_->SetNames(std::vector<std::string>{"/dev/ttyS0", "/dev/ttyS1"});
  Activate(form_);
  form_.PortList()->setCurrentIndex(1);
  form_.SpeedList()->setCurrentText("115200");

  source_->SetNames(std::vector<std::string>{"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1"});
  Activate(form_);
  EXPECT_EQ(Items(*form_.PortList()), (QStringList{"/dev/ttyUSB0", "/dev/ttyS0", "/dev/ttyS1"}))
      << "refilled, not appended to";
  EXPECT_EQ(form_.PortList()->currentText(), "/dev/ttyUSB0");
  EXPECT_EQ(form_.SpeedList()->currentText(), "9600");
  EXPECT_EQ(form_.SpeedList()->count(), 11);
  EXPECT_EQ(source_->listings, 2);
}

TEST_F(ConnectionTest, ActivationWithoutLeavingTheWindowKeepsThePortPicked) {
  // Without a window manager the window is first activated only when the
  // drop-down of the port list closes: that must not undo the choice.
  source_->SetNames(std::vector<std::string>{"/dev/ttyS0"});
  port::TPortControl::SetExtraPorts({"/dev/pts/3"});
  form_.show();
  form_.PortList()->setCurrentIndex(1);
  form_.SpeedList()->setCurrentText("115200");
  const int listings = source_->listings;
  QEvent activation(QEvent::WindowActivate);
  QApplication::sendEvent(&form_, &activation);
  EXPECT_EQ(form_.PortList()->currentText(), "/dev/pts/3");
  EXPECT_EQ(form_.SpeedList()->currentText(), "115200");
  EXPECT_EQ(source_->listings, listings);
  // Leaving for another window and coming back does refill and reset.
  Activate(form_);
  EXPECT_EQ(form_.PortList()->currentText(), "/dev/ttyS0");
  EXPECT_EQ(form_.SpeedList()->currentText(), "9600");
  form_.hide();
}

TEST_F(ConnectionTest, RealActivationOfTheWindowRefillsTheList) {
  source_->SetNames(std::vector<std::string>{"/dev/ttyS3"});
  form_.show();
  form_.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
  EXPECT_EQ(Items(*form_.PortList()), QStringList{"/dev/ttyS3"});
  form_.hide();
}

TEST_F(ConnectionTest, ShowingTheWindowFillsTheListsEvenIfNothingActivatesIt) {
  source_->SetNames(std::vector<std::string>{"/dev/ttyACM0"});
  port::TPortControl::SetExtraPorts({"/tmp/sim-pty"});
  form_.SpeedList()->setCurrentIndex(0);
  form_.show();
  EXPECT_EQ(Items(*form_.PortList()), (QStringList{"/dev/ttyACM0", "/tmp/sim-pty"}));
  EXPECT_EQ(form_.PortList()->currentIndex(), 0);
  EXPECT_EQ(form_.SpeedList()->currentText(), "9600");
  form_.hide();
}

TEST_F(ConnectionTest, ActivationMakesTheDotTheDecimalSeparator) {
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  const bool german_c_locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  Activate(form_);
  EXPECT_EQ(QLocale().decimalPoint(), ".");
  EXPECT_EQ(QLocale().toString(1.5, 'f', 1), "1.5");
  char text[16];
  std::snprintf(text, sizeof text, "%.1f", 1.5);
  EXPECT_STREQ(text, "1.5") << (german_c_locale ? "after de_DE" : "de_DE not installed");
}

TEST_F(ConnectionTest, AnEmptyPortListStillLeavesAWorkingWindow) {
  for (const auto& names : {std::optional<std::vector<std::string>>{},
                            std::optional<std::vector<std::string>>{std::vector<std::string>{}}}) {
    source_->SetNames(names);
    Activate(form_);
    EXPECT_EQ(form_.PortList()->count(), 0);
    EXPECT_EQ(form_.SpeedList()->currentText(), "9600");
    form_.ConnectButton()->click();
    ExpectDisconnected();
  }
  // An empty port name names no port.
  EXPECT_EQ(sink_.messages, (std::vector<std::string>{"Невозможно подключить порт\nПричина: нет такого порта (проверьте кабель и выбор порта).", "Невозможно подключить порт\nПричина: нет такого порта (проверьте кабель и выбор порта)."}));
  EXPECT_TRUE(sink_.errors.empty());
}

TEST_F(ConnectionTest, ConnectToAPseudoTerminalThenDisconnect) {
  PtyPair pty;
  port::TPortControl::SetExtraPorts({pty.Path()});
  Activate(form_);
  ASSERT_EQ(form_.PortList()->currentText().toStdString(), pty.Path());

  form_.ConnectButton()->click();
  EXPECT_TRUE(sink_.messages.empty());
  ExpectConnected();
  EXPECT_TRUE(link_.IsOpen());

  form_.ConnectButton()->click();
  ExpectDisconnected();
  EXPECT_FALSE(link_.IsOpen());
  EXPECT_TRUE(sink_.messages.empty());

  // The port was really let go: it can be taken again.
  form_.ConnectButton()->click();
  ExpectConnected();
}

// Every message box activates the window again when it closes: the lists
// must not then claim another port and speed than the ones in use.
TEST_F(ConnectionTest, ReactivationWhileConnectedShowsThePortAndSpeedInUse) {
  PtyPair pty;
  port::TPortControl::SetExtraPorts({"/dev/ttyFJLnone", pty.Path()});
  Activate(form_);
  form_.PortList()->setCurrentIndex(1);
  form_.SpeedList()->setCurrentText("19200");
  form_.ConnectButton()->click();
  ExpectConnected();

  port::TPortControl::SetExtraPorts({"/dev/ttyFJLother"});
  Activate(form_);
  EXPECT_EQ(Utf8(form_.PortList()->currentText()), pty.Path());
  EXPECT_EQ(form_.SpeedList()->currentText(), "19200");
  ExpectConnected();
  EXPECT_TRUE(link_.IsOpen());

  // Disconnected, the next activation refills and resets them.
  form_.ConnectButton()->click();
  Activate(form_);
  EXPECT_EQ(Items(*form_.PortList()), QStringList{"/dev/ttyFJLother"});
  EXPECT_EQ(form_.SpeedList()->currentText(), "9600");
}

TEST_F(ConnectionTest, APortThatCannotBeOpenedLeavesEverythingDisconnected) {
  PtyPair busy;
  link::DeviceLink other_program(&serial::OpenPosixSerialChannel);
  ASSERT_NE(other_program.OpenLink(busy.Path(), 9600), -1);

  struct Case {
    const char* name;
    std::string port;
    std::string reason;  // the box's second line
  };
  const Case cases[] = {
      {"missing", "/dev/ttyFJLmissing0", "Причина: нет такого порта (проверьте кабель и выбор порта)."},
      {"busy", busy.Path(), "Причина: порт занят другой программой."},
      {"not a terminal", "/dev/null", "Причина: это не последовательный порт."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sink_.messages.clear();
    port::TPortControl::SetExtraPorts({c.port});
    Activate(form_);
    form_.ConnectButton()->click();
    EXPECT_EQ(sink_.messages, std::vector<std::string>{"Невозможно подключить порт\n" + c.reason});
    ExpectDisconnected();
    EXPECT_FALSE(link_.IsOpen());
  }
}

TEST_F(ConnectionTest, APortThatVanishesWhileConnectedCrashesNothing) {
  auto pty = std::make_unique<PtyPair>();
  port::TPortControl::SetExtraPorts({pty->Path()});
  Activate(form_);
  form_.ConnectButton()->click();
  ExpectConnected();

  pty->CloseMaster();
  port::TPortControl::SetExtraPorts({});
  Activate(form_);
  EXPECT_EQ(Utf8(form_.PortList()->currentText()), pty->Path()) << "still the port in use";
  ExpectConnected();

  form_.ConnectButton()->click();
  ExpectDisconnected();
  Activate(form_);
  EXPECT_EQ(form_.PortList()->count(), 0);
  EXPECT_TRUE(sink_.errors.empty());
}

TEST_F(ConnectionTest, AnErrorInsideTheConnectActionIsShownAndChangesNothing) {
  link::DeviceLink throwing_link([](const std::string&, std::int32_t) -> std::unique_ptr<serial::SerialChannel> {
    throw std::runtime_error("port driver failed");
  });
  Wizard wizard(throwing_link, sink_);
  TForm1& form = wizard.Form1;
  port::TPortControl::SetExtraPorts({"/dev/ttyS9"});
  Activate(form);
  form.ConnectButton()->click();
  EXPECT_EQ(sink_.errors, std::vector<std::string>{"port driver failed"});
  EXPECT_TRUE(sink_.messages.empty());
  EXPECT_EQ(form.Indicator()->Color(), kRed);
  EXPECT_EQ(Utf8(form.ConnectButton()->text()), "Подключить");
  EXPECT_TRUE(form.PortList()->isEnabled());
  EXPECT_FALSE(form.ReadTapeButton()->isEnabled());
  EXPECT_EQ(form.PortList()->currentText(), "/dev/ttyS9");

  // And the window still works afterwards.
  form.FinishButton()->click();
  EXPECT_EQ(sink_.messages, std::vector<std::string>{"Приложение остановлено!"});
}

TEST_F(ConnectionTest, AnErrorWhileListingPortsIsShownAndTheWindowGoesOn) {
  class ThrowingSource : public port::PortDeviceSource {
   public:
    std::optional<std::vector<port::PortDevice>> ListDevices() override {
      throw std::runtime_error("device list unreadable");
    }
  };
  port::TPortControl::SetDeviceSource(std::make_shared<ThrowingSource>());
  Activate(form_);
  EXPECT_EQ(sink_.errors, std::vector<std::string>{"device list unreadable"});
  // The next activation is not blocked by a half-finished enumeration.
  port::TPortControl::SetDeviceSource(source_);
  source_->SetNames(std::vector<std::string>{"/dev/ttyS0"});
  Activate(form_);
  EXPECT_EQ(Items(*form_.PortList()), QStringList{"/dev/ttyS0"});
}

}  // namespace
}  // namespace fjl::app
