#pragma once
// The Win32 side of the wizard's toolkit needs: a download or a restoration
// runs inside one handler, and while it runs the windows' input is pumped
// here and dropped, Escape and the close button excepted. Its progress
// shows on the taskbar button of the step window shown.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <utility>

#include "app/win32/taskbar_progress.h"
#include "wizard/toolkit.h"

namespace fjl::app::win32 {

class Win32Toolkit : public wizard::Toolkit {
 public:
  explicit Win32Toolkit(TaskbarProgress taskbar = {}) : taskbar_(std::move(taskbar)) {}

  // The C library's numbers are set by the presenter; the W functions this
  // front end uses format no numbers of their own.
  void UseDotAsDecimalSeparator() override {}
  void BeginBusy(std::function<void()> stop_asked) override;
  void EndBusy() override;
  void KeepResponsive() override;
  void ShowTaskProgress(std::int64_t done, std::int64_t total) override;

  // The step window just shown: the one with the taskbar button.
  void StepShown(HWND window) { taskbar_window_ = window; }

  bool Busy() const { return busy_; }
  // Escape or the close button while busy: the running handler's stop
  // request, or nothing when it has none.
  void StopAsked();

 private:
  bool busy_ = false;
  std::function<void()> stop_asked_;
  TaskbarProgress taskbar_;
  HWND taskbar_window_ = nullptr;
};

// Keyboard, mouse and non-client mouse messages: what the user does.
bool IsUserInput(UINT message);

}  // namespace fjl::app::win32
