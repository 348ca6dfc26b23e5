#include "app/qt/tform3.h"

#include <QPushButton>

#include "app/qt/progress_gauge.h"
#include "app/qt/tape_text_box.h"
#include "wizard/keyboard.h"

namespace fjl::app {

using wizard::Step3Control;

TForm3::TForm3(MessageBoxes& boxes, QWidget* parent) : StepForm(boxes, parent), ui_(BuildStep3Controls(*this)) {
  SetUpStepWindow(wizard::kStep3Caption, wizard::kStep3Size);
  SetTabStops(wizard::kStep3TabStops);
  connect(ui_.SaveButton, &QPushButton::clicked, this, &TForm3::Button1Click);
  connect(ui_.FinishButton, &QPushButton::clicked, this, &TForm3::Button2Click);
  connect(ui_.RestoreButton, &QPushButton::clicked, this, &TForm3::Button3Click);
}

void TForm3::SetSaveFileChooser(SaveFileChooser* chooser) {
  save_chooser_ = chooser != nullptr ? chooser : &dialog_chooser_;
}

QWidget* TForm3::Control(Step3Control control) const {
  switch (control) {
    case Step3Control::TapeText: return ui_.TextBox;
    case Step3Control::RestoreButton: return ui_.RestoreButton;
    case Step3Control::SaveButton: return ui_.SaveButton;
    case Step3Control::FinishButton: return ui_.FinishButton;
  }
  return nullptr;
}

void TForm3::AppendLines(std::span<const std::string> lines) { ui_.TextBox->AppendLines(lines); }

std::vector<std::string> TForm3::TapeLines() const { return ui_.TextBox->Lines(); }

void TForm3::SetGaugeRange(std::int32_t minimum, std::int32_t maximum) { ui_.Gauge->SetRange(minimum, maximum); }

void TForm3::SetGaugeProgress(std::int32_t progress) { ui_.Gauge->SetProgress(progress); }

std::optional<wizard::SaveChoice> TForm3::ChooseSaveFile(const wizard::SaveDialogSettings& settings) {
  return save_chooser_->ChooseSaveFile(settings);
}

void TForm3::Button1Click() {
  if (presenter_ != nullptr) presenter_->Save();
}

void TForm3::Button2Click() {
  if (presenter_ != nullptr) presenter_->Finish();
}

void TForm3::Button3Click() {
  if (presenter_ != nullptr) presenter_->Restore();
}

void TForm3::CloseRequested() {
  if (presenter_ != nullptr) presenter_->CloseRequested();
}

}  // namespace fjl::app
