#pragma once
// A download's or a restoration's progress on the taskbar button of the step
// window shown, through the shell's ITaskbarList3 (Windows 7 and later).
// Where the shell has none (no taskbar, another shell, COM not running) the
// progress is shown in the window alone and nothing here fails.

#include <windows.h>
#include <shobjidl.h>

#include <cstdint>

namespace fjl::app::win32 {

class TaskbarProgress {
 public:
  // No taskbar: every call does nothing.
  TaskbarProgress() = default;
  // Progress through `taskbar`, which this keeps a reference to; null is
  // no taskbar.
  explicit TaskbarProgress(ITaskbarList3* taskbar);
  ~TaskbarProgress();
  TaskbarProgress(TaskbarProgress&& other) noexcept;
  TaskbarProgress& operator=(TaskbarProgress&& other) noexcept;
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  // CoCreateInstance, or a stand-in for it.
  using CreateInstance = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
  // The shell's taskbar (CLSID_TaskbarList), made on this thread, whose COM
  // apartment must be initialised; no taskbar when it cannot be made.
  static TaskbarProgress OfShell(CreateInstance create = &CoCreateInstance);

  bool Present() const { return taskbar_ != nullptr; }

  // `done` of `total` on `window`'s button, in thousandths: the button is
  // told only when the shown thousandth moves, as telling it is a message
  // to another process. Nothing for no window or an empty total.
  void Show(HWND window, std::int64_t done, std::int64_t total);
  // The button that showed progress shows none again.
  void Clear();

 private:
  ITaskbarList3* taskbar_ = nullptr;
  HWND window_ = nullptr;  // whose button shows progress; null: none does
  std::int64_t shown_ = -1;
};

}  // namespace fjl::app::win32
