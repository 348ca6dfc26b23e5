#pragma once
// Step 3 on Win32: the window of the step 3 presenter: the tape's text box
// in Courier New, the gauge with its percentage, the save dialog.

#include <array>
#include <optional>

#include "app/win32/progress_gauge.h"
#include "app/win32/step_window.h"
#include "app/win32/tape_text_box.h"
#include "wizard/step3_presenter.h"

namespace fjl::app::win32 {

class TForm3 : public StepForm<wizard::Step3View> {
 public:
  explicit TForm3(Win32Toolkit& toolkit);

  void Attach(wizard::Step3Presenter& presenter) { presenter_ = &presenter; }

  // wizard::Step3View
  std::vector<std::string> TapeLines() const override;
  void AppendLines(std::span<const std::string> lines) override;
  void SetGaugeRange(std::int32_t minimum, std::int32_t maximum) override;
  void SetGaugeProgress(std::int32_t progress) override;
  std::optional<wizard::SaveChoice> ChooseSaveFile(const wizard::SaveDialogSettings& settings) override;

  void Button1Click();  // "Сохранить"
  void Button2Click();  // "Завершить"
  void Button3Click();  // "Восстановить контр. ленту"

 protected:
  void CloseRequested() override;
  void EscapePressed() override {}

 private:
  HWND Control(wizard::Step3Control control) const override;

  std::array<HWND, 4> controls_{};
  TapeTextBox tape_;
  std::optional<ProgressGauge> gauge_;
  wizard::Step3Presenter* presenter_ = nullptr;
};

}  // namespace fjl::app::win32
