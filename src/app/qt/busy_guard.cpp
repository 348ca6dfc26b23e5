#include "app/qt/busy_guard.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QWidget>

#include "wizard/keyboard.h"

namespace fjl::app {
namespace {

BusyGuard* active_guard = nullptr;

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

// Escape pressed, or the window manager's close button.
bool AsksToStop(const QEvent& event) {
  if (event.type() == QEvent::Close) return true;
  if (event.type() != QEvent::KeyPress) return false;
  const auto& key = static_cast<const QKeyEvent&>(event);
  return key.key() == Qt::Key_Escape && !key.isAutoRepeat() &&
         wizard::KeyActionFor(wizard::Key::Escape, wizard::ControlKind::Other) == wizard::KeyAction::AskToStop;
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

BusyGuard::BusyGuard(std::function<void()> stop_asked) : stop_asked_(std::move(stop_asked)) {
  qApp->installEventFilter(this);
  active_guard = this;
}

BusyGuard::~BusyGuard() {
  // Input the platform held back while the handler ran is delivered now, to
  // this filter, and dropped.
  stop_asked_ = nullptr;
  QCoreApplication::processEvents();
  qApp->removeEventFilter(this);
  if (active_guard == this) active_guard = nullptr;
}

bool BusyGuard::eventFilter(QObject* watched, QEvent* event) {
  if (IsUserInput(*event) && !BelongsToOpenModalBox(watched)) {
    if (stop_asked_ && AsksToStop(*event)) stop_asked_();
    event->ignore();
    return true;
  }
  return QObject::eventFilter(watched, event);
}

void KeepPainted() {
  QCoreApplication::processEvents(active_guard != nullptr ? QEventLoop::AllEvents
                                                          : QEventLoop::ExcludeUserInputEvents);
}

void QtToolkit::UseDotAsDecimalSeparator() { QLocale::setDefault(QLocale::c()); }

void QtToolkit::BeginBusy(std::function<void()> stop_asked) {
  busy_ = std::make_unique<BusyGuard>(std::move(stop_asked));
}

void QtToolkit::EndBusy() { busy_.reset(); }

}  // namespace fjl::app
