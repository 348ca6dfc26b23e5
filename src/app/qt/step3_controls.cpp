#include "app/qt/step3_controls.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt/layout_helpers.h"
#include "app/qt/progress_gauge.h"
#include "app/qt/tape_text_box.h"
#include "wizard/window_texts.h"

namespace fjl::app {

Step3Controls BuildStep3Controls(QWidget& window) {
  Step3Controls ui;
  ui.TextBox = new TapeTextBox(&window);
  ui.Gauge = new ProgressGauge(&window);
  ui.RestoreButton = new QPushButton(ToQString(wizard::kRestoreText), &window);
  ui.SaveButton = new QPushButton(ToQString(wizard::kSaveText), &window);
  ui.FinishButton = new QPushButton(ToQString(wizard::kFinishText), &window);

  auto* buttons = new QHBoxLayout;
  buttons->setSpacing(8);
  for (QPushButton* button : {ui.RestoreButton, ui.SaveButton}) {
    button->setAutoDefault(false);
    button->setMinimumWidth(110);
    buttons->addWidget(button);
  }
  ui.FinishButton->setAutoDefault(false);
  ui.FinishButton->setMinimumWidth(110);
  buttons->addStretch(1);
  buttons->addWidget(ui.FinishButton);

  auto* column = new QVBoxLayout(&window);
  column->setContentsMargins(12, 12, 12, 12);
  column->setSpacing(8);
  column->addWidget(ui.TextBox, 1);
  column->addWidget(ui.Gauge);
  column->addSpacing(4);
  column->addLayout(buttons);
  return ui;
}

}  // namespace fjl::app
