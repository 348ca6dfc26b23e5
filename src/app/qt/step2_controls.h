#pragma once
// The controls of the step 2 window and the function that lays them out.

#include <array>

#include "tape/record_counters.h"

class QLineEdit;
class QPushButton;
class QWidget;

namespace fjl::app {

struct Step2Controls {
  // Indexed by auxiliary record kind 0..3.
  std::array<QLineEdit*, tape::kAuxTotalBox> CounterBoxes{};
  QLineEdit* TotalBox = nullptr;
  QLineEdit* ResultBox = nullptr;
  QLineEdit* StatusBox = nullptr;
  QPushButton* ReadAuxButton = nullptr;
  QPushButton* FinishButton = nullptr;
  QPushButton* NextButton = nullptr;
};

Step2Controls BuildStep2Controls(QWidget& window);

}  // namespace fjl::app
