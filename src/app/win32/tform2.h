#pragma once
// Step 2 on Win32: the window of the step 2 presenter.

#include <array>

#include "app/win32/step_window.h"
#include "tape/record_counters.h"
#include "wizard/step2_presenter.h"

namespace fjl::app::win32 {

class TForm2 : public StepForm<wizard::Step2View> {
 public:
  explicit TForm2(Win32Toolkit& toolkit);

  void Attach(wizard::Step2Presenter& presenter) { presenter_ = &presenter; }

  // wizard::Step2View
  std::string CounterText(std::size_t box) const override;
  void SetCounterText(std::size_t box, std::string_view text) override;

  void Button1Click();  // "Читать вспом. параметры"
  void Button2Click();  // "Завершить"
  void Button3Click();  // "Дальше ->"

 protected:
  void CloseRequested() override;
  void EscapePressed() override;

 private:
  HWND Control(wizard::Step2Control control) const override;

  std::array<HWND, 5> controls_{};
  std::array<HWND, tape::kAuxCounterBoxes.size()> counters_{};
  wizard::Step2Presenter* presenter_ = nullptr;
};

}  // namespace fjl::app::win32
