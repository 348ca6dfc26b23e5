#pragma once
// The Win32 side of the wizard's toolkit needs: a download or a restoration
// runs inside one handler, and while it runs the windows' input is pumped
// here and dropped, Escape and the close button excepted.

#include <windows.h>

#include <functional>

#include "wizard/toolkit.h"

namespace fjl::app::win32 {

class Win32Toolkit : public wizard::Toolkit {
 public:
  // The C library's numbers are set by the presenter; the W functions this
  // front end uses format no numbers of their own.
  void UseDotAsDecimalSeparator() override {}
  void BeginBusy(std::function<void()> stop_asked) override;
  void EndBusy() override;
  void KeepResponsive() override;

  bool Busy() const { return busy_; }
  // Escape or the close button while busy: the running handler's stop
  // request, or nothing when it has none.
  void StopAsked();

 private:
  bool busy_ = false;
  std::function<void()> stop_asked_;
};

// Keyboard, mouse and non-client mouse messages: what the user does.
bool IsUserInput(UINT message);

}  // namespace fjl::app::win32
