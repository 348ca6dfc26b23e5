#include "app/qt/tform1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>
#include <clocale>

#include "app/qt/download_views.h"
#include "app/qt/guarded.h"
#include "app/qt/layout_helpers.h"
#include "app/qt/port_lists.h"
#include "app/qt/status_indicator.h"
#include "app/qt/window_style.h"
#include "tape/tape_download.h"
#include "text/cp1251.h"

namespace fjl::app {
namespace {

const QColor kDisconnectedColor(255, 0, 0);
const QColor kConnectedColor(0, 255, 0);

void UseDotAsDecimalSeparator() {
  QLocale::setDefault(QLocale::c());
  std::setlocale(LC_NUMERIC, "C");
}

}  // namespace

TForm1::TForm1(link::DeviceLink& link, MessageSink& messages, QWidget* parent)
    : QWidget(parent), link_(link), messages_(messages), ui_(BuildStep1Controls(*this)) {
  ApplyStepWindowStyle(*this, ToQString("Чтение контрольной ленты (Varkon KM-L710, KM-5820L). Шаг 1."),
                       QSize(784, 432));
  ui_.Indicator->SetColor(kDisconnectedColor);
  ResetSpeedList(*ui_.SpeedList);
  ConnectGuarded(ui_.ConnectButton, this, messages_, [this] { Button1Click(); });
  ConnectGuarded(ui_.ReadTapeButton, this, messages_, [this] { Button2Click(); });
  ConnectGuarded(ui_.FinishButton, this, messages_, [this] { Button3Click(); });
  ConnectGuarded(ui_.NextButton, this, messages_, [this] { Button4Click(); });
}

bool TForm1::Connected() const { return ui_.Indicator->Color() != kDisconnectedColor; }

std::string TForm1::PasswordText() const { return ui_.PasswordBox->text().toStdString(); }

std::string TForm1::PasswordBytes() const { return text::Utf8ToCp1251(PasswordText()); }

QLineEdit* TForm1::CounterBox(int record_type) const {
  if (record_type < 0 || record_type > kHighestRecordType) {
    return nullptr;
  }
  return ui_.CounterBoxes[static_cast<std::size_t>(record_type)];
}

void TForm1::FormActivate() {
  lists_current_ = true;
  UseDotAsDecimalSeparator();
  RefillPortList(*ui_.PortList);
  ResetSpeedList(*ui_.SpeedList);
}

void TForm1::Button1Click() {
  if (Connected()) {
    Disconnect();
  } else {
    Connect();
  }
}

void TForm1::Button2Click() {
  BoxDownloadView view(*ui_.ResultBox, *ui_.StatusBox);
  CounterBoxesView counters(tape::kTapeCounterBoxes, [this](int kind) {
    return kind == tape::kTotalKind ? ui_.TotalBox : CounterBox(kind);
  });
  const std::string password = PasswordBytes();

  RunBusyDownload([this](tape::DownloadPhase phase) { ShowTapeButtons(phase); }, [&] {
    return tape::TapeDownload(password, *tape_, {link_, last_response_, view, counters, messages_});
  });
}

void TForm1::Button3Click() {
  messages_.ShowMessage("Приложение остановлено!");
  close();
}

void TForm1::Button4Click() {
  if (next_step_ == nullptr) {
    return;
  }
  hide();
  next_step_->show();
  next_step_->raise();
  next_step_->activateWindow();
}

void TForm1::Connect() {
  const std::int32_t speed = ui_.SpeedList->currentText().toInt();
  const std::string port = ui_.PortList->currentText().toStdString();
  if (link_.OpenLink(port, speed) == -1) {
    messages_.ShowMessage("Невозможно подключить порт");
    return;
  }
  ShowConnected(true);
}

void TForm1::Disconnect() {
  if (link_.CloseLink() != 0) {
    ShowConnected(false);
  }
}

void TForm1::ShowTapeButtons(tape::DownloadPhase phase) {
  const tape::TapeButtons buttons = tape::TapeButtonsFor(phase);
  ui_.ReadTapeButton->setEnabled(buttons.ReadTape);
  ui_.ConnectButton->setEnabled(buttons.Connect);
  ui_.NextButton->setEnabled(buttons.Next);
}

void TForm1::ShowConnected(bool connected) {
  ui_.Indicator->SetColor(connected ? kConnectedColor : kDisconnectedColor);
  ui_.ConnectButton->setText(ToQString(connected ? "Отключить" : "Подключить"));
  ui_.PortList->setEnabled(!connected);
  ui_.SpeedList->setEnabled(!connected);
  ui_.ReadTapeButton->setEnabled(connected);
}

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::WindowDeactivate) {
    lists_current_ = false;
  } else if (event->type() == QEvent::WindowActivate && !lists_current_) {
    // Only a return from elsewhere refills the lists. Without a window
    // manager the first activation comes late, when the user closes the
    // port list's drop-down, and must not throw away the port just picked.
    RunGuarded(messages_, [this] { FormActivate(); });
  }
  return QWidget::event(event);
}

void TForm1::showEvent(QShowEvent* event) {
  // Without a window manager (a kiosk session, a virtual display) nothing
  // activates the window, and the port list would stay empty.
  if (!event->spontaneous()) {
    RunGuarded(messages_, [this] { FormActivate(); });
  }
  QWidget::showEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  event->accept();
  emit MainWindowClosed();
}

}  // namespace fjl::app
