#include "port/port_scheduler.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <cerrno>

namespace fjl::port {

namespace {

class SystemScheduler final : public SessionScheduler {
 public:
  SystemResult GetProcessPriority(int& nice) override {
    errno = 0;
    const int value = ::getpriority(PRIO_PROCESS, 0);
    if (value == -1 && errno != 0) return errno;
    nice = value;
    return 0;
  }

  SystemResult SetProcessPriority(int nice) override { return ::setpriority(PRIO_PROCESS, 0, nice) == 0 ? 0 : errno; }

  SystemResult GetThreadSchedule(ThreadSchedule& schedule) override {
    sched_param param{};
    int policy = 0;
    if (const int error = ::pthread_getschedparam(::pthread_self(), &policy, &param)) return error;
    schedule = {policy, param.sched_priority};
    return 0;
  }

  SystemResult SetThreadSchedule(const ThreadSchedule& schedule) override {
    sched_param param{};
    param.sched_priority = schedule.priority;
    return ::pthread_setschedparam(::pthread_self(), schedule.policy, &param);
  }

  int SessionNice() const override { return -20; }

  // Any real-time priority already runs ahead of every ordinary task. The
  // bottom of the real-time band keeps the kernel's interrupt threads, which
  // move the serial bytes, ahead of the session.
  ThreadSchedule SessionSchedule() const override { return {SCHED_FIFO, ::sched_get_priority_min(SCHED_FIFO)}; }
};

}  // namespace

std::shared_ptr<SessionScheduler> MakeSystemScheduler() { return std::make_shared<SystemScheduler>(); }

}  // namespace fjl::port
