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
      : Step1(view1, services), Step2(view2, Step1), Step3(view3, Step1, Step2) {
    Step1.SetNextStep(&Step2);
    Step2.SetNextStep(&Step3);
  }

  // Shows step 1; the program runs until its window closes.
  void Start() { Step1.Open(); }

  Step1Presenter Step1;
  Step2Presenter Step2;
  Step3Presenter Step3;
};

}  // namespace fjl::wizard
