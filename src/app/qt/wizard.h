#pragma once
// The Qt wizard: the three step windows, created once in order, under the
// toolkit-free presenters that run them.

#include <filesystem>
#include <utility>

#include "app/qt/busy_guard.h"
#include "app/qt/qt_message_sink.h"
#include "app/qt/tform1.h"
#include "app/qt/tform2.h"
#include "app/qt/tform3.h"
#include "link/device_link.h"
#include "port/port_listing.h"
#include "wizard/wizard_steps.h"

namespace fjl::app {

struct Wizard {
  // `kept_downloads`: the user's folder of kept downloads (empty: none).
  // `kept_downloads` and `documents`: see WizardServices.
  Wizard(link::DeviceLink& link, MessageBoxes& boxes, std::filesystem::path kept_downloads = {},
         std::string documents = {})
      : Form1(boxes),
        Form2(boxes),
        Form3(boxes),
        Steps({link, Toolkit, &port::ListPorts, std::move(kept_downloads), std::move(documents)}, Form1, Form2,
              Form3) {
    Form1.Attach(Steps.step1);
    Form2.Attach(Steps.step2);
    Form3.Attach(Steps.step3);
  }

  QtToolkit Toolkit;
  TForm1 Form1;
  TForm2 Form2;
  TForm3 Form3;
  wizard::WizardSteps Steps;
};

}  // namespace fjl::app
