#pragma once
// Step 3 on Win32: the window of the step 3 presenter: the tape's text box
// in Courier New, the gauge with its percentage, the save dialog.

#include <array>

#include "app/win32/step_window.h"
#include "wizard/gauge.h"
#include "wizard/step3_presenter.h"

namespace fjl::app::win32 {

class TForm3 : public StepForm<wizard::Step3View> {
 public:
  explicit TForm3(Win32Toolkit& toolkit);

  void Attach(wizard::Step3Presenter& presenter) { presenter_ = &presenter; }

  // wizard::Step3View
  void SetText(wizard::Step3Control control, std::string_view text) override;
  std::string Text(wizard::Step3Control control) const override;
  void SetEnabled(wizard::Step3Control control, bool enabled) override;
  void SetFocus(wizard::Step3Control control) override;
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
  HWND Control(wizard::Step3Control control) const;
  void RedrawGauge(int shown_percent);
  static LRESULT CALLBACK GaugeProcedure(HWND gauge, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                         DWORD_PTR self);
  void PaintGauge(HDC context, const RECT& area) const;

  std::array<HWND, 4> controls_{};
  HWND gauge_ = nullptr;
  wizard::GaugeState gauge_state_;
  wizard::Step3Presenter* presenter_ = nullptr;
};

}  // namespace fjl::app::win32
