#include "app/qt/qt_message_sink.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace fjl::app {
namespace {

// The box carries the caption of the window it belongs to, like every box
// of a Windows program; the program's file name says nothing to the user.
QString TitleFor(const QWidget* owner) {
  return owner != nullptr ? owner->window()->windowTitle() : QGuiApplication::applicationDisplayName();
}

QString Text(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

int ShowBox(QWidget* owner, QMessageBox::Icon icon, std::string_view text, QMessageBox::StandardButtons buttons,
            QMessageBox::StandardButton default_button) {
  // Without a window manager to hand the activation back, nothing would
  // have the focus once the box closes: the next Tab would land in the tape
  // and Enter there would type into it.
  const QPointer<QWidget> had_focus = owner != nullptr ? owner->window()->focusWidget() : nullptr;
  QMessageBox box(icon, TitleFor(owner), Text(text), buttons, owner);
  box.setDefaultButton(default_button);
  box.setEscapeButton(default_button);
  const int answer = box.exec();
  if (had_focus != nullptr && had_focus->isEnabled() && had_focus->isVisible()) {
    had_focus->window()->activateWindow();
    had_focus->setFocus(Qt::OtherFocusReason);
  }
  return answer;
}

}  // namespace

void QtMessageBoxes::ShowMessage(QWidget* owner, std::string_view text) {
  ShowBox(owner, QMessageBox::NoIcon, text, QMessageBox::Ok, QMessageBox::Ok);
}

void QtMessageBoxes::ShowError(QWidget* owner, std::string_view text) {
  ShowBox(owner, QMessageBox::Critical, text, QMessageBox::Ok, QMessageBox::Ok);
}

bool QtMessageBoxes::AskYesNo(QWidget* owner, std::string_view text) {
  return ShowBox(owner, QMessageBox::NoIcon, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
         QMessageBox::Yes;
}

void QtMessageSink::ShowMessage(std::string_view text) { boxes_.ShowMessage(QApplication::activeWindow(), text); }

void QtMessageSink::ShowError(std::string_view text) { boxes_.ShowError(QApplication::activeWindow(), text); }

}  // namespace fjl::app
