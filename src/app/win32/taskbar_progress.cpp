#include "app/win32/taskbar_progress.h"

#include <algorithm>
#include <utility>

namespace fjl::app::win32 {
namespace {

constexpr std::int64_t kSteps = 1000;

}  // namespace

TaskbarProgress::TaskbarProgress(ITaskbarList3* taskbar) : taskbar_(taskbar) {
  if (taskbar_ != nullptr) taskbar_->AddRef();
}

TaskbarProgress::~TaskbarProgress() {
  Clear();
  if (taskbar_ != nullptr) taskbar_->Release();
}

TaskbarProgress::TaskbarProgress(TaskbarProgress&& other) noexcept
    : taskbar_(std::exchange(other.taskbar_, nullptr)),
      window_(std::exchange(other.window_, nullptr)),
      shown_(std::exchange(other.shown_, -1)) {}

TaskbarProgress& TaskbarProgress::operator=(TaskbarProgress&& other) noexcept {
  if (this != &other) {
    Clear();
    if (taskbar_ != nullptr) taskbar_->Release();
    taskbar_ = std::exchange(other.taskbar_, nullptr);
    window_ = std::exchange(other.window_, nullptr);
    shown_ = std::exchange(other.shown_, -1);
  }
  return *this;
}

TaskbarProgress TaskbarProgress::OfShell(CreateInstance create) {
  ITaskbarList3* taskbar = nullptr;
  if (FAILED(create(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                    reinterpret_cast<void**>(&taskbar))) ||
      taskbar == nullptr) {
    return {};
  }
  TaskbarProgress progress;
  // Made but not ready (no taskbar running): as good as none.
  if (SUCCEEDED(taskbar->HrInit())) progress = TaskbarProgress(taskbar);
  taskbar->Release();
  return progress;
}

void TaskbarProgress::Show(HWND window, std::int64_t done, std::int64_t total) {
  if (taskbar_ == nullptr || window == nullptr || total <= 0) return;
  if (window != window_) {
    Clear();
    window_ = window;
    taskbar_->SetProgressState(window_, TBPF_NORMAL);
  }
  const std::int64_t steps = std::clamp<std::int64_t>(done, 0, total) * kSteps / total;
  if (steps == shown_) return;
  shown_ = steps;
  taskbar_->SetProgressValue(window_, static_cast<ULONGLONG>(steps), static_cast<ULONGLONG>(kSteps));
}

void TaskbarProgress::Clear() {
  if (taskbar_ != nullptr && window_ != nullptr) taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
  window_ = nullptr;
  shown_ = -1;
}

}  // namespace fjl::app::win32
