#include "app/qt/tform2.h"

#include <QLineEdit>
#include <QPushButton>

#include "wizard/keyboard.h"

namespace fjl::app {

using wizard::Step2Control;

TForm2::TForm2(MessageBoxes& boxes, QWidget* parent)
    : StepForm(boxes, parent),
      ui_(BuildStep2Controls(*this)),
      counters_(tape::kAuxCounterBoxes,
                [this](int kind) { return kind == tape::kTotalKind ? ui_.TotalBox : CounterBox(kind); }) {
  SetUpStepWindow(wizard::kStep2Caption, wizard::kStep2Size);
  SetTabStops(wizard::kStep2TabStops);
  connect(ui_.ReadAuxButton, &QPushButton::clicked, this, &TForm2::Button1Click);
  connect(ui_.FinishButton, &QPushButton::clicked, this, &TForm2::Button2Click);
  connect(ui_.NextButton, &QPushButton::clicked, this, &TForm2::Button3Click);
}

QLineEdit* TForm2::CounterBox(int kind) const {
  if (kind < 0 || kind >= static_cast<int>(ui_.CounterBoxes.size())) {
    return nullptr;
  }
  return ui_.CounterBoxes[static_cast<std::size_t>(kind)];
}

QWidget* TForm2::Control(Step2Control control) const {
  switch (control) {
    case Step2Control::ResultBox: return ui_.ResultBox;
    case Step2Control::StatusBox: return ui_.StatusBox;
    case Step2Control::ReadAuxButton: return ui_.ReadAuxButton;
    case Step2Control::FinishButton: return ui_.FinishButton;
    case Step2Control::NextButton: return ui_.NextButton;
  }
  return nullptr;
}

void TForm2::Button1Click() {
  if (presenter_ != nullptr) presenter_->ReadAux();
}

void TForm2::Button2Click() {
  if (presenter_ != nullptr) presenter_->Finish();
}

void TForm2::Button3Click() {
  if (presenter_ != nullptr) presenter_->Next();
}

void TForm2::CloseRequested() {
  if (presenter_ != nullptr) presenter_->CloseRequested();
}

void TForm2::EscapePressed() {
  if (presenter_ != nullptr) presenter_->EscapePressed();
}

}  // namespace fjl::app
