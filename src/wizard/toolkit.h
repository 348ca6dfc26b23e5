#pragma once
// What the presenters need of the windowing toolkit as a whole, beyond any
// one window.

#include <chrono>
#include <cstdint>
#include <functional>

namespace fjl::wizard {

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // Whatever the toolkit itself formats numbers with uses "." as the decimal
  // separator (the C library's numbers are the presenter's affair).
  virtual void UseDotAsDecimalSeparator() = 0;

  // A download or a restoration runs inside one handler on the one thread.
  // From BeginBusy to EndBusy the windows take no input except what a modal
  // box opened meanwhile needs; Escape and the close button call
  // `stop_asked` instead, or are dropped when it is empty. Input that came
  // meanwhile is dropped at EndBusy, not delivered late.
  virtual void BeginBusy(std::function<void()> stop_asked) = 0;
  virtual void EndBusy() = 0;
  // Inside the long handler: lets the windows repaint and the input that
  // came so far reach the busy filter.
  virtual void KeepResponsive() = 0;
  // Inside the long handler: how far it has come, `done` of `total` (the
  // bytes of a download's address window, the restoration's gauge), for a
  // toolkit that also shows it outside the step window, as on a taskbar
  // button. EndBusy ends what it shows.
  virtual void ShowTaskProgress(std::int64_t done, std::int64_t total) {
    (void)done;
    (void)total;
  }
  // The clock a long handler paces its redraws by.
  virtual std::chrono::steady_clock::time_point Now() const { return std::chrono::steady_clock::now(); }
};

}  // namespace fjl::wizard
