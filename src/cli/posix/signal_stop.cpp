#include "cli/signal_stop.h"

#include <signal.h>

#include <csignal>

namespace fjl::cli {
namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The first stop signal's number; 0 until one came.
volatile std::sig_atomic_t g_caught = 0;
struct sigaction g_earlier[std::size(kStopSignals)];

extern "C" void NoteStopSignal(int signal_number) {
  if (g_caught == 0) {
    g_caught = signal_number;
    return;
  }
  // Asked twice: go now. Both calls are async-signal-safe; the signal is
  // blocked inside its handler and delivered again as it returns.
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

}  // namespace

SignalStop::SignalStop() {
  g_caught = 0;
  struct sigaction action {};
  action.sa_handler = NoteStopSignal;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : kStopSignals) sigaddset(&action.sa_mask, signal_number);
  // Interrupted system calls resume: every wait already ends on its own time-out.
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], &action, &g_earlier[i]);
}

SignalStop::~SignalStop() {
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) sigaction(kStopSignals[i], &g_earlier[i], nullptr);
}

bool SignalStop::StopRequested() const { return g_caught != 0; }

ExitStatus SignalStop::StoppedStatus() const {
  switch (g_caught) {
    case SIGHUP: return kExitHangUp;
    case SIGTERM: return kExitTerminated;
    default: return kExitInterrupted;
  }
}

std::string_view SignalStop::StoppedBy() const {
  switch (g_caught) {
    case SIGHUP: return "SIGHUP";
    case SIGTERM: return "SIGTERM";
    default: return "SIGINT";
  }
}

}  // namespace fjl::cli
