// Stopping a run on Windows: Ctrl-C and Ctrl-Break stand for SIGINT, a
// closed console window for SIGHUP, the end of the session for SIGTERM, and
// the run exits with the same codes as on POSIX.

#include "cli/signal_stop.h"

#include <windows.h>

#include <atomic>

namespace fjl::cli {
namespace {

// The first stop event; -1 until one came.
std::atomic<long> g_caught{-1};

BOOL WINAPI NoteStopEvent(DWORD event) {
  long expected = -1;
  // The first request is noted for the run's next safe point; asked again,
  // the default handler ends the program at once.
  return g_caught.compare_exchange_strong(expected, static_cast<long>(event)) ? TRUE : FALSE;
}

}  // namespace

SignalStop::SignalStop() {
  g_caught = -1;
  ::SetConsoleCtrlHandler(NoteStopEvent, TRUE);
}

SignalStop::~SignalStop() { ::SetConsoleCtrlHandler(NoteStopEvent, FALSE); }

bool SignalStop::StopRequested() const { return g_caught.load() != -1; }

ExitStatus SignalStop::StoppedStatus() const {
  switch (g_caught.load()) {
    case CTRL_CLOSE_EVENT: return kExitHangUp;
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: return kExitTerminated;
    default: return kExitInterrupted;
  }
}

std::string_view SignalStop::StoppedBy() const {
  switch (g_caught.load()) {
    case CTRL_BREAK_EVENT: return "Ctrl-Break";
    case CTRL_CLOSE_EVENT: return "close";
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT: return "shutdown";
    default: return "Ctrl-C";
  }
}

}  // namespace fjl::cli
