#pragma once
// What fjl-restore-cli answers its caller.

namespace fjl::cli {

enum ExitStatus : int {
  kExitRestored = 0,    // the tape was restored and the file written
  kExitStepFailed = 1,  // a step failed; its message was shown, the file left alone
  kExitUsage = 2,       // bad command line or unusable output, found before any exchange
  kExitIncomplete = 3,  // the file was written, but the tape in it may be incomplete
};

}  // namespace fjl::cli
