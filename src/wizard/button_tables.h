#pragma once
// Which buttons of steps 1 and 2 a download leaves enabled.

#include "tape/download_view.h"

namespace fjl::wizard {

enum class DownloadPhase { Ready, Running, Succeeded, Failed };

// A stopped download ends like a failed one: what was stored stays, and the
// user may read again.
constexpr DownloadPhase PhaseAfter(tape::DownloadOutcome outcome) {
  return tape::Succeeded(outcome) ? DownloadPhase::Succeeded : DownloadPhase::Failed;
}

// Step 1: "Читать эл. контр. ленту", "Подключить"/"Отключить", "Дальше ->".
struct TapeButtons {
  bool read_tape;
  bool connect;
  bool next;
  friend constexpr bool operator==(const TapeButtons&, const TapeButtons&) = default;
};

// Ready means connected and no download run yet. Once a download has
// succeeded the connect button stays disabled, so the port stays open for
// steps 2 and 3. After a failed one it is enabled again: the port may be the
// wrong one (nothing attached answers), and the user must be able to
// disconnect and pick another without restarting the program.
constexpr TapeButtons TapeButtonsFor(DownloadPhase phase) {
  switch (phase) {
    case DownloadPhase::Ready: return {true, true, false};
    case DownloadPhase::Running: return {true, false, false};
    case DownloadPhase::Succeeded: return {false, false, true};
    case DownloadPhase::Failed: return {true, true, false};
  }
  return {true, true, false};
}

// Step 2: "Читать вспом. параметры", "Дальше ->".
struct AuxButtons {
  bool read_aux;
  bool next;
  friend constexpr bool operator==(const AuxButtons&, const AuxButtons&) = default;
};

constexpr AuxButtons AuxButtonsFor(DownloadPhase phase) {
  switch (phase) {
    case DownloadPhase::Ready: return {true, false};
    case DownloadPhase::Running: return {true, false};
    case DownloadPhase::Succeeded: return {false, true};
    case DownloadPhase::Failed: return {true, false};
  }
  return {true, false};
}

}  // namespace fjl::wizard
