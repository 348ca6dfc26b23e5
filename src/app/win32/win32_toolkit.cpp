#include "app/win32/win32_toolkit.h"

#include <utility>

namespace fjl::app::win32 {

bool IsUserInput(UINT message) {
  return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
         (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_NCMOUSEHOVER ||
         message == WM_NCMOUSELEAVE || message == WM_MOUSEHOVER || message == WM_MOUSELEAVE;
}

void Win32Toolkit::BeginBusy(std::function<void()> stop_asked) {
  busy_ = true;
  stop_asked_ = std::move(stop_asked);
}

void Win32Toolkit::EndBusy() {
  // A click or key press made during the run is thrown away here rather
  // than reaching a button once the run is over.
  stop_asked_ = nullptr;
  MSG message;
  while (PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  while (PeekMessageW(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
  }
  busy_ = false;
  taskbar_.Clear();
}

void Win32Toolkit::ShowTaskProgress(std::int64_t done, std::int64_t total) {
  taskbar_.Show(taskbar_window_, done, total);
}

void Win32Toolkit::StopAsked() {
  if (stop_asked_) stop_asked_();
}

void Win32Toolkit::KeepResponsive() {
  // Outside a run, input stays queued for the main loop.
  const UINT which = busy_ ? PM_REMOVE : PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE;
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, which)) {
    if (message.message == WM_QUIT) {
      // The main loop still has to see it.
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    if (IsUserInput(message.message)) {
      const bool first_press = (message.lParam & (1L << 30)) == 0;
      if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE && first_press) StopAsked();
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

}  // namespace fjl::app::win32
