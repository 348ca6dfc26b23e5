#pragma once
// The scheduling the component's session raises and restores. The system
// scheduler is the real one; tests put a refusing or recording one in its place.
// Every call answers 0 or an errno.

#include <memory>

namespace fjl::link {

struct ThreadSchedule {
  int policy = 0;    // SCHED_OTHER, SCHED_FIFO, ...
  int priority = 0;  // the static priority within a real-time policy
  friend bool operator==(const ThreadSchedule&, const ThreadSchedule&) = default;
};

class SessionScheduler {
 public:
  virtual ~SessionScheduler() = default;
  // The calling process's nice value.
  virtual int GetProcessPriority(int& nice) = 0;
  virtual int SetProcessPriority(int nice) = 0;
  // The calling thread's policy and priority.
  virtual int GetThreadSchedule(ThreadSchedule& schedule) = 0;
  virtual int SetThreadSchedule(const ThreadSchedule& schedule) = 0;
  // What a session raises to: the highest nice, and a real-time policy.
  virtual int SessionNice() const = 0;
  virtual ThreadSchedule SessionSchedule() const = 0;
};

// getpriority/setpriority and pthread scheduling. Without privileges the
// raise is refused (EACCES or EPERM) and nothing changes.
std::shared_ptr<SessionScheduler> MakeSystemScheduler();

}  // namespace fjl::link
