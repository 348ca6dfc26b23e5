#include "app/qt/tform1.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "app/qt/status_indicator.h"
#include "wizard/keyboard.h"

namespace fjl::app {

using wizard::Step1Control;

TForm1::TForm1(MessageBoxes& boxes, QWidget* parent)
    : StepForm(boxes, parent),
      ui_(BuildStep1Controls(*this)),
      counters_(tape::kTapeCounterBoxes,
                [this](int kind) { return kind == tape::kTotalKind ? ui_.TotalBox : CounterBox(kind); }) {
  SetUpStepWindow(wizard::kStep1Caption, wizard::kStep1Size);
  SetTabStops(wizard::kStep1TabStops);
  connect(ui_.ConnectButton, &QPushButton::clicked, this, &TForm1::Button1Click);
  connect(ui_.ReadTapeButton, &QPushButton::clicked, this, &TForm1::Button2Click);
  connect(ui_.FinishButton, &QPushButton::clicked, this, &TForm1::Button3Click);
  connect(ui_.NextButton, &QPushButton::clicked, this, &TForm1::Button4Click);
}

QLineEdit* TForm1::CounterBox(int record_type) const {
  if (record_type < 0 || record_type > tape::kHighestRecordType) {
    return nullptr;
  }
  return ui_.CounterBoxes[static_cast<std::size_t>(record_type)];
}

QWidget* TForm1::Control(Step1Control control) const {
  switch (control) {
    case Step1Control::PortList: return ui_.PortList;
    case Step1Control::SpeedList: return ui_.SpeedList;
    case Step1Control::ResultBox: return ui_.ResultBox;
    case Step1Control::StatusBox: return ui_.StatusBox;
    case Step1Control::PasswordBox: return ui_.PasswordBox;
    case Step1Control::ConnectButton: return ui_.ConnectButton;
    case Step1Control::ReadTapeButton: return ui_.ReadTapeButton;
    case Step1Control::FinishButton: return ui_.FinishButton;
    case Step1Control::NextButton: return ui_.NextButton;
  }
  return nullptr;
}

void TForm1::SetListItems(Step1Control list, std::span<const std::string> items, int selected) {
  auto* box = qobject_cast<QComboBox*>(Control(list));
  if (box == nullptr) return;
  box->clear();
  for (const std::string& item : items) box->addItem(QString::fromStdString(item));
  box->setCurrentIndex(selected);
}

void TForm1::SetIndicator(wizard::IndicatorColour colour) {
  const wizard::Rgb rgb = wizard::RgbOf(colour);
  ui_.Indicator->SetColor(QColor(rgb.red, rgb.green, rgb.blue));
}

void TForm1::FormActivate() {
  lists_current_ = true;
  if (presenter_ != nullptr) presenter_->Activated();
}

void TForm1::Button1Click() {
  if (presenter_ != nullptr) presenter_->ConnectOrDisconnect();
}

void TForm1::Button2Click() {
  if (presenter_ != nullptr) presenter_->ReadTape();
}

void TForm1::Button3Click() {
  if (presenter_ != nullptr) presenter_->Finish();
}

void TForm1::Button4Click() {
  if (presenter_ != nullptr) presenter_->Next();
}

void TForm1::CloseRequested() {
  if (presenter_ != nullptr) presenter_->CloseRequested();
}

void TForm1::EscapePressed() {
  if (presenter_ != nullptr) presenter_->EscapePressed();
}

bool TForm1::event(QEvent* event) {
  if (event->type() == QEvent::WindowDeactivate) {
    lists_current_ = false;
  } else if (event->type() == QEvent::WindowActivate && !lists_current_) {
    // Only a return from elsewhere refills the lists. Without a window
    // manager the first activation comes late, when the user closes the
    // port list's drop-down, and must not throw away the port just picked.
    FormActivate();
  }
  return StepWindow::event(event);
}

void TForm1::showEvent(QShowEvent* event) {
  // Without a window manager (a kiosk session, a virtual display) nothing
  // activates the window, and the port list would stay empty.
  if (!event->spontaneous()) FormActivate();
  StepWindow::showEvent(event);
}

}  // namespace fjl::app
