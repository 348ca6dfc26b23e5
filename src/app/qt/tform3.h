#pragma once
// Step 3 on Qt: the window of the step 3 presenter.

#include <string>
#include <vector>

#include "app/qt/save_file_chooser.h"
#include "app/qt/step3_controls.h"
#include "app/qt/step_window.h"
#include "wizard/step3_presenter.h"

class QPushButton;

namespace fjl::app {

class ProgressGauge;
class TapeTextBox;

class TForm3 : public StepForm<wizard::Step3View> {
  Q_OBJECT
 public:
  explicit TForm3(MessageBoxes& boxes, QWidget* parent = nullptr);

  void Attach(wizard::Step3Presenter& presenter) { presenter_ = &presenter; }

  TapeTextBox* TextBox() const { return ui_.TextBox; }
  ProgressGauge* Gauge() const { return ui_.Gauge; }
  QPushButton* RestoreButton() const { return ui_.RestoreButton; }
  QPushButton* SaveButton() const { return ui_.SaveButton; }
  QPushButton* FinishButton() const { return ui_.FinishButton; }

  // Where "Сохранить" asks for the file; the modal dialog unless replaced.
  // `chooser` must outlive the window or be replaced first; null puts the
  // dialog back.
  void SetSaveFileChooser(SaveFileChooser* chooser);

  // wizard::Step3View
  // Each batch of restored lines goes into the box in one edit.
  void AppendLines(std::span<const std::string> lines) override;
  std::vector<std::string> TapeLines() const override;
  void SetGaugeRange(std::int32_t minimum, std::int32_t maximum) override;
  void SetGaugeProgress(std::int32_t progress) override;
  std::optional<wizard::SaveChoice> ChooseSaveFile(const wizard::SaveDialogSettings& settings) override;

 public slots:
  void Button1Click();  // "Сохранить"
  void Button2Click();  // "Завершить"
  void Button3Click();  // "Восстановить контр. ленту"

 protected:
  void CloseRequested() override;
  void EscapePressed() override {}

 private:
  QWidget* Control(wizard::Step3Control control) const override;

  Step3Controls ui_;
  wizard::Step3Presenter* presenter_ = nullptr;
  DialogSaveFileChooser dialog_chooser_{this};
  SaveFileChooser* save_chooser_ = &dialog_chooser_;
};

}  // namespace fjl::app
