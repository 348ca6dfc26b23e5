#pragma once
// The three step presenters, created once in order and chained by
// "Дальше ->"; a front end creates its three windows, then this over them.

#include "wizard/services.h"
#include "wizard/step1_presenter.h"
#include "wizard/step2_presenter.h"
#include "wizard/step3_presenter.h"

namespace fjl::wizard {

class WizardSteps {
 public:
  WizardSteps(const WizardServices& services, Step1View& view1, Step2View& view2, Step3View& view3)
      : step1(view1, services), step2(view2, step1), step3(view3, step1, step2) {
    step1.SetNextStep(&step2);
    step2.SetNextStep(&step3);
  }

  // Shows step 1; the program runs until its window closes.
  void Start() { step1.Open(); }

  Step1Presenter step1;
  Step2Presenter step2;
  Step3Presenter step3;
};

}  // namespace fjl::wizard
