#pragma once
// Step 2 on Qt: the window of the step 2 presenter.

#include <string>

#include "app/qt/download_views.h"
#include "app/qt/step2_controls.h"
#include "app/qt/step_window.h"
#include "wizard/step2_presenter.h"

class QLineEdit;
class QPushButton;

namespace fjl::app {

class TForm2 : public StepForm<wizard::Step2View> {
  Q_OBJECT
 public:
  explicit TForm2(MessageBoxes& boxes, QWidget* parent = nullptr);

  void Attach(wizard::Step2Presenter& presenter) { presenter_ = &presenter; }

  // The counter of an auxiliary record kind 0..3; nullptr otherwise.
  QLineEdit* CounterBox(int kind) const;
  QLineEdit* TotalBox() const { return ui_.TotalBox; }
  QLineEdit* ResultBox() const { return ui_.ResultBox; }
  QLineEdit* StatusBox() const { return ui_.StatusBox; }
  QPushButton* ReadAuxButton() const { return ui_.ReadAuxButton; }
  QPushButton* FinishButton() const { return ui_.FinishButton; }
  QPushButton* NextButton() const { return ui_.NextButton; }

  // wizard::Step2View
  std::string CounterText(std::size_t box) const override { return counters_.CounterText(box); }
  void SetCounterText(std::size_t box, std::string_view text) override { counters_.SetCounterText(box, text); }

 public slots:
  void Button1Click();  // "Читать вспом. параметры"
  void Button2Click();  // "Завершить"
  void Button3Click();  // "Дальше ->"

 protected:
  void CloseRequested() override;
  void EscapePressed() override;

 private:
  QWidget* Control(wizard::Step2Control control) const override;

  Step2Controls ui_;
  CounterBoxesView counters_;
  wizard::Step2Presenter* presenter_ = nullptr;
};

}  // namespace fjl::app
