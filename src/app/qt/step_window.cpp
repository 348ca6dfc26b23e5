#include "app/qt/step_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

#include "app/qt/layout_helpers.h"
#include "app/qt/window_style.h"
#include "wizard/keyboard.h"

namespace fjl::app {
namespace {

using wizard::ControlKind;
using wizard::Key;
using wizard::KeyAction;

ControlKind KindOf(const QObject* control) {
  if (qobject_cast<const QAbstractButton*>(control) != nullptr) return ControlKind::Button;
  if (qobject_cast<const QComboBox*>(control) != nullptr) return ControlKind::List;
  if (qobject_cast<const QLineEdit*>(control) != nullptr) return ControlKind::EditBox;
  if (qobject_cast<const QPlainTextEdit*>(control) != nullptr) return ControlKind::TextBox;
  return ControlKind::Other;
}

Key KeyOf(const QKeyEvent& event) {
  const Qt::KeyboardModifiers held = event.modifiers() & ~Qt::KeypadModifier;
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return held == Qt::NoModifier ? Key::Enter : Key::Other;
    case Qt::Key_Tab:
      return held == Qt::NoModifier ? Key::Tab : Key::Other;
    case Qt::Key_Backtab:
      return held == Qt::ShiftModifier || held == Qt::NoModifier ? Key::BackTab : Key::Other;
    case Qt::Key_Escape:
      return held == Qt::NoModifier ? Key::Escape : Key::Other;
    default:
      return Key::Other;
  }
}

}  // namespace

StepWindow::StepWindow(MessageBoxes& boxes, QWidget* parent) : QWidget(parent), boxes_(boxes) {}

void StepWindow::SetUpStepWindow(std::string_view caption, wizard::ClientSize size) {
  ApplyStepWindowStyle(*this, ToQString(caption), QSize(size.width, size.height));
  for (QWidget* control : findChildren<QWidget*>()) {
    if (KindOf(control) != ControlKind::Other) control->installEventFilter(this);
  }
}

void StepWindow::SetTabStops(const std::vector<QWidget*>& stops) {
  for (QWidget* control : findChildren<QWidget*>()) {
    if (KindOf(control) == ControlKind::Other || (control->focusPolicy() & Qt::TabFocus) == 0) continue;
    if (std::find(stops.begin(), stops.end(), control) == stops.end()) control->setFocusPolicy(Qt::ClickFocus);
  }
  QWidget* previous = nullptr;
  for (QWidget* stop : stops) {
    if (previous != nullptr) QWidget::setTabOrder(previous, stop);
    previous = stop;
  }
}

void StepWindow::SetControlText(QWidget* control, std::string_view text) {
  if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(ToQString(text));
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    button->setText(ToQString(text));
  } else if (auto* list = qobject_cast<QComboBox*>(control)) {
    list->setCurrentIndex(list->findText(ToQString(text)));
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(control)) {
    box->setPlainText(ToQString(text));
  }
}

std::string StepWindow::ControlText(const QWidget* control) {
  if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text().toStdString();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text().toStdString();
  if (const auto* list = qobject_cast<const QComboBox*>(control)) return list->currentText().toStdString();
  if (const auto* box = qobject_cast<const QPlainTextEdit*>(control)) return box->toPlainText().toStdString();
  return {};
}

void StepWindow::FocusControl(QWidget* control) {
  control->setFocus(Qt::TabFocusReason);
  setAttribute(Qt::WA_KeyboardFocusChange);
  control->update();
}

void StepWindow::ShowStepWindow() {
  show();
  raise();
  activateWindow();
}

void StepWindow::CloseStepWindow() {
  closing_ = true;
  close();
  closing_ = false;
}

bool StepWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
  switch (wizard::KeyActionFor(KeyOf(static_cast<QKeyEvent&>(*event)), KindOf(watched))) {
    case KeyAction::PressButton: {
      auto* button = static_cast<QAbstractButton*>(watched);
      if (button->isEnabled()) button->click();
      return true;
    }
    case KeyAction::FocusNext:
      focusNextPrevChild(true);
      return true;
    case KeyAction::FocusPrevious:
      focusNextPrevChild(false);
      return true;
    case KeyAction::AskToStop:
      EscapePressed();
      return true;
    case KeyAction::ToolkitDefault:
      break;
  }
  return QWidget::eventFilter(watched, event);
}

void StepWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->accept();
    StepClosed();
    return;
  }
  // Not the program's own closing: the presenter decides, and it closes
  // the window itself when the program is to end. It is asked once this
  // close is over, as Qt does not close a window from inside its closing.
  event->ignore();
  QMetaObject::invokeMethod(this, [this] { CloseRequested(); }, Qt::QueuedConnection);
}

}  // namespace fjl::app
