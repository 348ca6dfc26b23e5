#pragma once
// Step 1 on Win32: the window of the step 1 presenter, and the main window;
// its closing ends the program.

#include <array>
#include <initializer_list>
#include <string_view>

#include "app/win32/step_window.h"
#include "tape/record_counters.h"
#include "wizard/step1_presenter.h"

namespace fjl::app::win32 {

class TForm1 : public StepForm<wizard::Step1View> {
 public:
  explicit TForm1(Win32Toolkit& toolkit);

  // The presenter the window's events go to; none before this is called.
  void Attach(wizard::Step1Presenter& presenter) { presenter_ = &presenter; }

  // wizard::Step1View
  void SetListItems(wizard::Step1Control list, std::span<const std::string> items, int selected) override;
  void SetIndicator(wizard::IndicatorColour colour) override;
  std::string CounterText(std::size_t box) const override;
  void SetCounterText(std::size_t box, std::string_view text) override;

  // Every time the window becomes active.
  void FormActivate();
  void Button1Click();  // "Подключить" / "Отключить"
  void Button2Click();  // "Читать эл. контр. ленту"
  void Button3Click();  // "Завершить"
  void Button4Click();  // "Дальше ->"

 protected:
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void OnActivated() override { FormActivate(); }
  void CloseRequested() override;
  void EscapePressed() override;
  // The main window is gone: so is the program.
  void OnDestroyed() override { PostQuitMessage(0); }

 private:
  void BuildTopRow();
  void BuildRecordTypes();
  void BuildButtonRow();
  void Set(wizard::Step1Control control, HWND window);
  // Where the boxes of a column start whose labels begin at `left`.
  int ColumnBoxX(int left, std::initializer_list<std::string_view> labels) const;
  HWND Control(wizard::Step1Control control) const override;

  std::array<HWND, 9> controls_{};
  std::array<HWND, tape::kTapeCounterBoxes.size()> counters_{};
  HWND indicator_ = nullptr;
  COLORREF indicator_colour_ = RGB(255, 0, 0);
  wizard::Step1Presenter* presenter_ = nullptr;
};

}  // namespace fjl::app::win32
