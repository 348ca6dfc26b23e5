#pragma once
// The controls of the step 1 window and the function that lays them out.

#include <array>

#include "tape/record_types.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;

namespace fjl::app {

class StatusIndicator;

struct Step1Controls {
  QComboBox* PortList = nullptr;
  QComboBox* SpeedList = nullptr;
  QLineEdit* ResultBox = nullptr;
  QLineEdit* StatusBox = nullptr;
  QLineEdit* PasswordBox = nullptr;
  QGroupBox* RecordTypesGroup = nullptr;
  // Indexed by record type; a type without a counter (13) stays null.
  std::array<QLineEdit*, tape::kHighestRecordType + 1> CounterBoxes{};
  QLineEdit* TotalBox = nullptr;
  StatusIndicator* Indicator = nullptr;
  QPushButton* ConnectButton = nullptr;
  QPushButton* ReadTapeButton = nullptr;
  QPushButton* FinishButton = nullptr;
  QPushButton* NextButton = nullptr;
};

Step1Controls BuildStep1Controls(QWidget& window);

}  // namespace fjl::app
