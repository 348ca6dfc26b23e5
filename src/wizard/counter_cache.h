#pragma once
// A download counts two boxes for every record: some 50,000 redraws for a
// full tape, which on a slow display cost more time than the line itself.
// The counts are kept here and drawn at the screen's pace instead.

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tape/record_counters.h"

namespace fjl::wizard {

// Faster than this, a redraw shows the eye nothing new.
inline constexpr std::chrono::milliseconds kRedrawInterval{40};

// Says when the windows are due to be drawn again: at the first ask, then
// once kRedrawInterval has passed since the last time it said so.
class RedrawPace {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  explicit RedrawPace(Clock clock = [] { return std::chrono::steady_clock::now(); }) : clock_(std::move(clock)) {}

  bool Due();

 private:
  Clock clock_;
  std::optional<std::chrono::steady_clock::time_point> last_;
};

// The counter boxes of a step as a download sees them: a box reads as its
// own text until it is first written, and then as what was written, whether
// or not that has been drawn yet. Flush draws what changed; a box whose
// window text was changed behind the cache's back is read again instead,
// so counting goes on from whatever the box shows, as it always has.
class CounterCache final : public tape::RecordCounterView {
 public:
  explicit CounterCache(tape::RecordCounterView& boxes) : boxes_(boxes) {}

  std::string CounterText(std::size_t box) const override;
  void SetCounterText(std::size_t box, std::string_view text) override;
  // Writes every box changed since the last flush into its window.
  void Flush();

 private:
  struct Box {
    std::optional<std::string> text;   // unset: the window's own text stands
    std::optional<std::string> drawn;  // what the window showed when last read or written
    bool changed = false;
  };
  Box& At(std::size_t box) const;

  tape::RecordCounterView& boxes_;
  mutable std::vector<Box> cached_;
};

}  // namespace fjl::wizard
