#pragma once
// Step 2 (TForm2): download the auxiliary data (article parameters, comments).

#include <memory>

#include "tape/flash_image.h"
#include "wizard/button_tables.h"
#include "wizard/download_runner.h"
#include "wizard/step_view.h"

namespace fjl::wizard {

class Step1Presenter;
class Step3Presenter;

class Step2Presenter {
 public:
  // Sets the window's starting state: counters at "0", reading enabled,
  // "Дальше ->" disabled.
  Step2Presenter(Step2View& view, Step1Presenter& step1);
  Step2Presenter(const Step2Presenter&) = delete;
  Step2Presenter& operator=(const Step2Presenter&) = delete;

  void SetNextStep(Step3Presenter* next) { next_ = next; }

  void Open();            // shown by step 1's "Дальше ->", the focus on reading
  void ReadAux();         // Button1Click, "Читать вспом. параметры"
  void Finish();          // Button2Click, "Завершить"
  void Next();            // Button3Click, "Дальше ->"
  void CloseRequested();  // the window manager's close button
  void EscapePressed();

  // The downloaded auxiliary data, read by step 3.
  tape::AuxImage& Aux() { return *aux_; }
  const tape::AuxImage& Aux() const { return *aux_; }

  void CloseWindow() { view_.CloseWindow(); }

 private:
  void ShowAuxButtons(DownloadPhase phase);

  Step2View& view_;
  Step1Presenter& step1_;
  Step3Presenter* next_ = nullptr;
  DownloadRunner downloads_;
  bool finishing_ = false;
  // Some 1.7 MB: kept off the stack of whoever creates the presenter.
  std::unique_ptr<tape::AuxImage> aux_ = std::make_unique<tape::AuxImage>();
};

}  // namespace fjl::wizard
