#pragma once
// Step 1: connect to the printer and download the control tape. The main
// window; closing it ends the program.

#include <QWidget>
#include <memory>
#include <string>

#include "app/qt/step1_controls.h"
#include "link/device_link.h"
#include "link/device_response.h"
#include "link/port_control.h"
#include "tape/download_view.h"
#include "tape/flash_image.h"
#include "text/message_sink.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace fjl::app {

class StatusIndicator;

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  TForm1(link::DeviceLink& link, MessageSink& messages, QWidget* parent = nullptr);

  // The window "Дальше ->" opens.
  void SetNextStep(QWidget* step2) { next_step_ = step2; }

  link::DeviceLink& Link() { return link_; }
  MessageSink& Messages() { return messages_; }
  // The indicator's colour is the connection state.
  bool Connected() const;

  QComboBox* PortList() const { return ui_.PortList; }
  QComboBox* SpeedList() const { return ui_.SpeedList; }
  QLineEdit* ResultBox() const { return ui_.ResultBox; }
  QLineEdit* StatusBox() const { return ui_.StatusBox; }
  QLineEdit* PasswordBox() const { return ui_.PasswordBox; }
  std::string PasswordText() const;  // UTF-8, exactly as typed
  // The password as the printer gets it: Windows-1251 bytes; a character the
  // code page lacks is sent as "?".
  std::string PasswordBytes() const;
  QGroupBox* RecordTypesGroup() const { return ui_.RecordTypesGroup; }
  // The counter of a record type 0..20; nullptr for 13 and anything else.
  QLineEdit* CounterBox(int record_type) const;
  QLineEdit* TotalBox() const { return ui_.TotalBox; }
  StatusIndicator* Indicator() const { return ui_.Indicator; }
  QPushButton* ConnectButton() const { return ui_.ConnectButton; }
  QPushButton* ReadTapeButton() const { return ui_.ReadTapeButton; }
  QPushButton* FinishButton() const { return ui_.FinishButton; }
  QPushButton* NextButton() const { return ui_.NextButton; }

  // The downloaded tape, read by step 3.
  tape::TapeData& Tape() { return *tape_; }
  const tape::TapeData& Tape() const { return *tape_; }
  // The reply of the latest exchange of any step.
  link::DeviceResponse& LastResponse() { return last_response_; }
  const link::DeviceResponse& LastResponse() const { return last_response_; }

  // Runs when the window is first shown and every time it becomes active
  // again after another window was: "." as decimal separator, port list
  // refilled, first port and "9600" selected.
  void FormActivate();

 public slots:
  void Button1Click();  // "Подключить" / "Отключить"
  void Button2Click();  // "Читать эл. контр. ленту"
  void Button3Click();  // "Завершить"
  void Button4Click();  // "Дальше ->"

 signals:
  void MainWindowClosed();

 protected:
  bool event(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void Connect();
  void Disconnect();
  void ShowConnected(bool connected);
  void ShowTapeButtons(tape::DownloadPhase phase);

  link::DeviceLink& link_;
  MessageSink& messages_;
  link::TPortControl port_control_;
  Step1Controls ui_;
  QWidget* next_step_ = nullptr;
  // The lists were refilled and the window has not lost activation since.
  bool lists_current_ = false;
  // Some 2 MB: kept off the stack of whoever creates the window.
  std::unique_ptr<tape::TapeData> tape_ = std::make_unique<tape::TapeData>();
  link::DeviceResponse last_response_;
};

}  // namespace fjl::app
