// Session priority on Windows: the process's priority class and the calling
// thread's priority, saved and restored by the component.

#include <windows.h>

#include "port/port_scheduler.h"

namespace fjl::port {

namespace {

SystemResult LastFailure() { return SystemResult(static_cast<int>(::GetLastError())); }

class Win32Scheduler final : public SessionScheduler {
 public:
  SystemResult GetProcessPriority(int& priority_class) override {
    const DWORD value = ::GetPriorityClass(::GetCurrentProcess());
    if (value == 0) return LastFailure();
    priority_class = static_cast<int>(value);
    return {};
  }

  SystemResult SetProcessPriority(int priority_class) override {
    if (!::SetPriorityClass(::GetCurrentProcess(), static_cast<DWORD>(priority_class))) return LastFailure();
    return {};
  }

  SystemResult GetThreadSchedule(ThreadSchedule& schedule) override {
    const int priority = ::GetThreadPriority(::GetCurrentThread());
    if (priority == THREAD_PRIORITY_ERROR_RETURN) return LastFailure();
    schedule = {0, priority};
    return {};
  }

  SystemResult SetThreadSchedule(const ThreadSchedule& schedule) override {
    if (!::SetThreadPriority(::GetCurrentThread(), schedule.priority)) return LastFailure();
    return {};
  }

  int SessionNice() const override { return REALTIME_PRIORITY_CLASS; }
  ThreadSchedule SessionSchedule() const override { return {0, THREAD_PRIORITY_TIME_CRITICAL}; }
};

}  // namespace

std::shared_ptr<SessionScheduler> MakeSystemScheduler() { return std::make_shared<Win32Scheduler>(); }

}  // namespace fjl::port
