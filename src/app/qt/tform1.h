#pragma once
// Step 1 on Qt: the window of the step 1 presenter, and the main window;
// its closing ends the program.

#include <span>
#include <string>

#include "app/qt/download_views.h"
#include "app/qt/step1_controls.h"
#include "app/qt/step_window.h"
#include "wizard/step1_presenter.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace fjl::app {

class StatusIndicator;

class TForm1 : public StepForm<wizard::Step1View> {
  Q_OBJECT
 public:
  explicit TForm1(MessageBoxes& boxes, QWidget* parent = nullptr);

  // The presenter the window's events go to; none before this is called.
  void Attach(wizard::Step1Presenter& presenter) { presenter_ = &presenter; }

  QComboBox* PortList() const { return ui_.PortList; }
  QComboBox* SpeedList() const { return ui_.SpeedList; }
  QLineEdit* ResultBox() const { return ui_.ResultBox; }
  QLineEdit* StatusBox() const { return ui_.StatusBox; }
  QLineEdit* PasswordBox() const { return ui_.PasswordBox; }
  QGroupBox* RecordTypesGroup() const { return ui_.RecordTypesGroup; }
  // The counter of a record type 0..20; nullptr for 13 and anything else.
  QLineEdit* CounterBox(int record_type) const;
  QLineEdit* TotalBox() const { return ui_.TotalBox; }
  StatusIndicator* Indicator() const { return ui_.Indicator; }
  QPushButton* ConnectButton() const { return ui_.ConnectButton; }
  QPushButton* ReadTapeButton() const { return ui_.ReadTapeButton; }
  QPushButton* FinishButton() const { return ui_.FinishButton; }
  QPushButton* NextButton() const { return ui_.NextButton; }

  // wizard::Step1View
  void SetListItems(wizard::Step1Control list, std::span<const std::string> items, int selected) override;
  void SetIndicator(wizard::IndicatorColour colour) override;
  std::string CounterText(std::size_t box) const override { return counters_.CounterText(box); }
  void SetCounterText(std::size_t box, std::string_view text) override { counters_.SetCounterText(box, text); }

  // Runs when the window is first shown and every time it becomes active
  // again after another window was.
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
  void CloseRequested() override;
  void EscapePressed() override;
  void StepClosed() override { emit MainWindowClosed(); }

 private:
  QWidget* Control(wizard::Step1Control control) const override;

  Step1Controls ui_;
  CounterBoxesView counters_;
  wizard::Step1Presenter* presenter_ = nullptr;
  // The lists were refilled and the window has not lost activation since.
  bool lists_current_ = false;
};

}  // namespace fjl::app
