#pragma once
// The scheduling the component's session raises and restores: on POSIX the
// process's nice value and the thread's policy, on Windows the process's
// priority class and the thread's priority. The system scheduler is the real
// one; tests put a refusing or recording one in its place.

#include <memory>

#include "platform/system_result.h"

namespace fjl::port {

using platform::SystemResult;

struct ThreadSchedule {
  int policy = 0;    // SCHED_OTHER, SCHED_FIFO, ... (0 on Windows)
  int priority = 0;  // the static priority within a real-time policy; the thread priority on Windows
  friend bool operator==(const ThreadSchedule&, const ThreadSchedule&) = default;
};

class SessionScheduler {
 public:
  virtual ~SessionScheduler() = default;
  // The calling process's nice value (priority class on Windows).
  virtual SystemResult GetProcessPriority(int& nice) = 0;
  virtual SystemResult SetProcessPriority(int nice) = 0;
  // The calling thread's policy and priority.
  virtual SystemResult GetThreadSchedule(ThreadSchedule& schedule) = 0;
  virtual SystemResult SetThreadSchedule(const ThreadSchedule& schedule) = 0;
  // What a session raises to: the highest nice and a real-time policy, or
  // the real-time priority class and a time-critical thread.
  virtual int SessionNice() const = 0;
  virtual ThreadSchedule SessionSchedule() const = 0;
};

// getpriority/setpriority and pthread scheduling (without privileges the
// raise is refused, EACCES or EPERM, and nothing changes); or the Windows
// priority classes and thread priorities.
std::shared_ptr<SessionScheduler> MakeSystemScheduler();

}  // namespace fjl::port
