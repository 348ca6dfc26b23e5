#include "app/qt/step2_controls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt/layout_helpers.h"
#include "app/qt/window_style.h"
#include "tape/record_counters.h"
#include "wizard/window_texts.h"

namespace fjl::app {
namespace {

// Counters and reply boxes share one grid, so all boxes line up on one edge.
QLayout* BuildBoxes(QWidget& window, Step2Controls& ui) {
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(8);
  int row = 0;
  for (const tape::CounterBox& entry : tape::kAuxCounterBoxes) {
    QLineEdit* box = MakeCounterBox(&window);
    if (entry.kind == tape::kTotalKind) {
      ui.TotalBox = box;
    } else {
      ui.CounterBoxes[static_cast<std::size_t>(entry.kind)] = box;
    }
    AddLabelledRow(*grid, row++, 0, entry.label, box);
  }
  grid->setRowMinimumHeight(row++, 12);
  ui.ResultBox = MakeReplyBox(&window, 120);
  ui.StatusBox = MakeReplyBox(&window, 120);
  AddLabelledRow(*grid, row++, 0, wizard::kResultLabel, ui.ResultBox);
  AddLabelledRow(*grid, row, 0, wizard::kStatusLabel, ui.StatusBox);
  grid->setColumnStretch(2, 1);
  return grid;
}

QLayout* BuildButtonRow(QWidget& window, Step2Controls& ui) {
  ui.ReadAuxButton = new QPushButton(ToQString(wizard::kReadAuxText), &window);
  ui.FinishButton = new QPushButton(ToQString(wizard::kFinishText), &window);
  ui.NextButton = new QPushButton(ToQString(wizard::kNextText), &window);
  ui.NextButton->setEnabled(false);
  auto* row = new QHBoxLayout;
  row->setSpacing(8);
  for (QPushButton* button : {ui.ReadAuxButton, ui.FinishButton}) {
    button->setAutoDefault(false);
    row->addWidget(button);
  }
  ui.NextButton->setAutoDefault(false);
  row->addStretch(1);
  row->addWidget(ui.NextButton);
  return row;
}

}  // namespace

Step2Controls BuildStep2Controls(QWidget& window) {
  Step2Controls ui;
  auto* column = new QVBoxLayout(&window);
  column->setContentsMargins(12, 12, 12, 12);
  column->setSpacing(12);
  column->addLayout(BuildBoxes(window, ui));
  column->addStretch(1);
  column->addLayout(BuildButtonRow(window, ui));
  return ui;
}

}  // namespace fjl::app
