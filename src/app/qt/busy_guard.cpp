#include "app/qt/busy_guard.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace fjl::app {
namespace {

bool IsUserInput(const QEvent& event) {
  switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
      return true;
    case QEvent::Close:
      // Only the window system's request; the program's own close() goes on.
      return event.spontaneous();
    default:
      return false;
  }
}

// A modal box opened by the running handler (its message, its OK button).
bool BelongsToOpenModalBox(QObject* watched) {
  const auto* widget = qobject_cast<QWidget*>(watched);
  if (widget == nullptr) {
    // Native windows hand their input on to the widgets, where it is judged.
    return true;
  }
  const QWidget* modal = QApplication::activeModalWidget();
  return modal != nullptr && (widget->window() == modal || modal->isAncestorOf(widget));
}

}  // namespace

BusyGuard::BusyGuard() { qApp->installEventFilter(this); }

BusyGuard::~BusyGuard() {
  // Input the platform held back while the handler ran is delivered now, to
  // this filter, and dropped.
  QCoreApplication::processEvents();
  qApp->removeEventFilter(this);
}

bool BusyGuard::eventFilter(QObject* watched, QEvent* event) {
  if (IsUserInput(*event) && !BelongsToOpenModalBox(watched)) {
    event->ignore();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void KeepPainted() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

}  // namespace fjl::app
