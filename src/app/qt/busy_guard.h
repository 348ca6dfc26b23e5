#pragma once
// A download or a restoration runs inside one button handler, and the
// windows must take no input until it ends: a second click on the same
// button, "Завершить" or a key press in between would run another handler
// in the middle of an exchange with the printer.

#include <QObject>
#include <functional>
#include <memory>

#include "wizard/toolkit.h"

namespace fjl::app {

// While alive, every keyboard, mouse, wheel and touch event and every close
// asked for by the window system is dropped, except those meant for a modal
// box that the running handler itself opened (its message must still be
// dismissable). Escape and the window system's close go to `stop_asked`
// first, when it is set. Input that arrived meanwhile is drained and dropped
// before the guard goes, so a click made during the run does not fire
// afterwards.
class BusyGuard : public QObject {
 public:
  explicit BusyGuard(std::function<void()> stop_asked = {});
  ~BusyGuard() override;
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> stop_asked_;
};

// Lets the windows repaint in the middle of a long handler. Input is
// processed too, so that a BusyGuard in place sees Escape and the close
// button; without one, user input is left queued.
void KeepPainted();

// The Qt side of the wizard's toolkit needs.
class QtToolkit : public wizard::Toolkit {
 public:
  void UseDotAsDecimalSeparator() override;
  void BeginBusy(std::function<void()> stop_asked) override;
  void EndBusy() override;
  void KeepResponsive() override { KeepPainted(); }

 private:
  std::unique_ptr<BusyGuard> busy_;
};

}  // namespace fjl::app
