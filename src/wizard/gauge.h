#pragma once
// The step 3 gauge as every front end draws it: a range, a progress clamped
// to it, and the whole percent done written across the bar.

#include <cstdint>
#include <string>

namespace fjl::wizard {

class GaugeState {
 public:
  std::int32_t Minimum() const { return minimum_; }
  std::int32_t Maximum() const { return maximum_; }
  std::int32_t Progress() const { return progress_; }

  // A maximum below the minimum is raised to it; the progress is clamped anew.
  void SetRange(std::int32_t minimum, std::int32_t maximum);
  // Clamped to the range.
  void SetProgress(std::int32_t progress);

  // Whole percent done, truncated; 0 for an empty range.
  int PercentDone() const;
  // "37%".
  std::string Text() const;
  // How much of a bar `width` pixels wide is filled.
  int FilledWidth(int width) const;

 private:
  std::int32_t minimum_ = 0;
  std::int32_t maximum_ = 100;
  std::int32_t progress_ = 0;
};

}  // namespace fjl::wizard
