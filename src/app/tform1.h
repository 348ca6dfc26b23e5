#pragma once
// Step 1: connect to the printer and download the control tape. The main
// window; closing it ends the program.

#include <QWidget>
#include <string>

#include "app/step1_controls.h"
#include "link/device_link.h"
#include "link/port_control.h"
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
  QGroupBox* RecordTypesGroup() const { return ui_.RecordTypesGroup; }
  // The counter of a record type 0..20; nullptr for 13 and anything else.
  QLineEdit* CounterBox(int record_type) const;
  QLineEdit* TotalBox() const { return ui_.TotalBox; }
  StatusIndicator* Indicator() const { return ui_.Indicator; }
  QPushButton* ConnectButton() const { return ui_.ConnectButton; }
  QPushButton* ReadTapeButton() const { return ui_.ReadTapeButton; }
  QPushButton* FinishButton() const { return ui_.FinishButton; }
  QPushButton* NextButton() const { return ui_.NextButton; }

  // Runs every time the window becomes active: "." as decimal separator,
  // port list refilled, first port and "9600" selected.
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

  link::DeviceLink& link_;
  MessageSink& messages_;
  link::TPortControl port_control_;
  Step1Controls ui_;
  QWidget* next_step_ = nullptr;
};

}  // namespace fjl::app
