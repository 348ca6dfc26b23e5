#include "app/qt/step1_controls.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/qt/layout_helpers.h"
#include "app/qt/status_indicator.h"
#include "app/qt/window_style.h"
#include "tape/record_counters.h"
#include "wizard/layout.h"
#include "wizard/window_texts.h"

namespace fjl::app {
namespace {

QComboBox* MakeDropDownList(QWidget* parent, int width) {
  auto* list = new QComboBox(parent);
  list->setEditable(false);
  list->setFixedWidth(width);
  return list;
}

QLayout* BuildTopRow(QWidget& window, Step1Controls& ui) {
  ui.PortList = MakeDropDownList(&window, 130);
  ui.SpeedList = MakeDropDownList(&window, 130);
  ui.ResultBox = MakeReplyBox(&window, 120);
  ui.StatusBox = MakeReplyBox(&window, 120);
  ui.PasswordBox = new QLineEdit(&window);
  ui.PasswordBox->setFixedWidth(80);

  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(8);
  AddLabelledRow(*grid, 0, 0, wizard::kPortLabel, ui.PortList);
  AddLabelledRow(*grid, 1, 0, wizard::kSpeedLabel, ui.SpeedList);
  grid->setColumnMinimumWidth(2, 16);
  AddLabelledRow(*grid, 0, 3, wizard::kResultLabel, ui.ResultBox);
  AddLabelledRow(*grid, 1, 3, wizard::kStatusLabel, ui.StatusBox);
  grid->setColumnMinimumWidth(5, 16);
  AddLabelledRow(*grid, 0, 6, wizard::kPasswordLabel, ui.PasswordBox);
  grid->setColumnStretch(2, 1);
  grid->setColumnStretch(5, 1);
  return grid;
}

QGroupBox* BuildRecordTypes(QWidget& window, Step1Controls& ui) {
  auto* group = new QGroupBox(ToQString(wizard::kRecordTypesTitle), &window);
  ui.RecordTypesGroup = group;
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(8, 8, 8, 8);
  // The widest label of a column ends exactly this far from its box.
  grid->setHorizontalSpacing(wizard::kLabelGap);
  grid->setVerticalSpacing(6);
  // The core lists the boxes column by column, "Всего:" last.
  int index = 0;
  for (const tape::CounterBox& entry : tape::kTapeCounterBoxes) {
    QLineEdit* box = MakeCounterBox(group);
    if (entry.kind == tape::kTotalKind) {
      ui.TotalBox = box;
    } else {
      ui.CounterBoxes[static_cast<std::size_t>(entry.kind)] = box;
    }
    AddLabelledRow(*grid, index % tape::kTapeCounterRows, 3 * (index / tape::kTapeCounterRows),
                   entry.label, box);
    ++index;
  }
  // Empty columns between the label/box pairs take whatever width is left.
  grid->setColumnStretch(2, 1);
  grid->setColumnStretch(5, 1);
  return group;
}

QLayout* BuildButtonRow(QWidget& window, Step1Controls& ui) {
  ui.Indicator = new StatusIndicator(&window);
  ui.ConnectButton = new QPushButton(ToQString(wizard::kConnectText), &window);
  ui.ReadTapeButton = new QPushButton(ToQString(wizard::kReadTapeText), &window);
  ui.FinishButton = new QPushButton(ToQString(wizard::kFinishText), &window);
  ui.NextButton = new QPushButton(ToQString(wizard::kNextText), &window);
  ui.ReadTapeButton->setEnabled(false);
  ui.NextButton->setEnabled(false);
  for (QPushButton* button :
       {ui.ConnectButton, ui.ReadTapeButton, ui.FinishButton, ui.NextButton}) {
    button->setAutoDefault(false);
    button->setMinimumWidth(110);
  }

  auto* row = new QHBoxLayout;
  row->setSpacing(8);
  row->addWidget(ui.Indicator);
  row->addWidget(ui.ConnectButton);
  row->addSpacing(16);
  row->addWidget(ui.ReadTapeButton);
  row->addWidget(ui.FinishButton);
  row->addStretch(1);
  row->addWidget(ui.NextButton);
  return row;
}

}  // namespace

Step1Controls BuildStep1Controls(QWidget& window) {
  Step1Controls ui;
  auto* column = new QVBoxLayout(&window);
  column->setContentsMargins(10, 10, 10, 10);
  column->setSpacing(10);
  column->addLayout(BuildTopRow(window, ui));
  column->addWidget(BuildRecordTypes(window, ui), 1);
  column->addLayout(BuildButtonRow(window, ui));
  return ui;
}

}  // namespace fjl::app
