#include "app/qt/qt_message_sink.h"

#include <QApplication>
#include <QMessageBox>

namespace fjl::app {
namespace {

void ShowBox(QMessageBox::Icon icon, std::string_view text) {
  // Parented to the active step window so the box opens over it.
  QMessageBox box(icon, QGuiApplication::applicationDisplayName(),
                  QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                  QMessageBox::Ok, QApplication::activeWindow());
  box.exec();
}

}  // namespace

void QtMessageSink::ShowMessage(std::string_view text) { ShowBox(QMessageBox::NoIcon, text); }

void QtMessageSink::ShowError(std::string_view text) { ShowBox(QMessageBox::Critical, text); }

}  // namespace fjl::app
