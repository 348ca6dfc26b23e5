#pragma once
// What fjl-restore-cli answers its caller.

namespace fjl::cli {

enum ExitStatus : int {
  kExitRestored = 0,    // the tape was restored and the file written
  kExitStepFailed = 1,  // a step failed; its message was shown, the file left alone
  kExitUsage = 2,       // bad command line or unusable output, found before any exchange
  kExitIncomplete = 3,  // the file was written, but the tape in it may be incomplete
  // Stopped by a signal at a safe point, the file left alone: 128 + its number.
  kExitHangUp = 129,       // SIGHUP
  kExitInterrupted = 130,  // SIGINT
  kExitTerminated = 143,   // SIGTERM
};

}  // namespace fjl::cli
