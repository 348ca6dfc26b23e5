#pragma once
// A request to stop a long operation at its next safe point: a signal in the
// CLI, an abort button in a window. The operation polls it between steps
// (before each exchange, each record, each block written) and ends with an
// outcome of its own, keeping what it has so far; nothing waits on it.

namespace fjl {

class StopSignal {
 public:
  virtual ~StopSignal() = default;
  virtual bool StopRequested() const = 0;
};

// `stop` may be null: nobody can ask that operation to stop.
inline bool StopRequested(const StopSignal* stop) { return stop != nullptr && stop->StopRequested(); }

}  // namespace fjl
