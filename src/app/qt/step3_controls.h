#pragma once
// The controls of the step 3 window and the function that lays them out.

class QPushButton;
class QWidget;

namespace fjl::app {

class ProgressGauge;
class TapeTextBox;

struct Step3Controls {
  TapeTextBox* TextBox = nullptr;
  ProgressGauge* Gauge = nullptr;
  QPushButton* RestoreButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QPushButton* FinishButton = nullptr;
};

Step3Controls BuildStep3Controls(QWidget& window);

}  // namespace fjl::app
