#pragma once
// A download or a restoration runs inside one button handler, and the
// windows must take no input until it ends: a second click on the same
// button, "Завершить" or a key press in between would run another handler
// in the middle of an exchange with the printer.

#include <QObject>

namespace fjl::app {

// While alive, every keyboard, mouse, wheel and touch event and every close
// asked for by the window system is dropped, except those meant for a modal
// box that the running handler itself opened (its message must still be
// dismissable). Input that arrived meanwhile is drained and dropped before
// the guard goes, so a click made during the run does not fire afterwards.
class BusyGuard : public QObject {
 public:
  BusyGuard();
  ~BusyGuard() override;
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// Lets the windows repaint (and nothing else) in the middle of a long
// handler: paint and expose events are processed, user input is left queued.
void KeepPainted();

}  // namespace fjl::app
