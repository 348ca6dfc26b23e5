#include "restore/gauge_throttle.h"

#include <algorithm>

namespace fjl::restore {

void GaugeThrottle::SetRange(std::int32_t minimum, std::int32_t maximum) {
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
  view_.SetGaugeRange(minimum_, maximum_);
  shown_ = minimum_;
  shown_percent_ = Percent(shown_);
  view_.SetGaugeProgress(shown_);
}

int GaugeThrottle::Percent(std::int32_t progress) const {
  if (maximum_ == minimum_) return 100;
  const std::int64_t done = std::int64_t{progress} - minimum_;
  const std::int64_t span = std::int64_t{maximum_} - minimum_;
  return static_cast<int>(done * 100 / span);
}

bool GaugeThrottle::SetProgress(std::int64_t progress) {
  const auto clamped = static_cast<std::int32_t>(std::clamp<std::int64_t>(progress, minimum_, maximum_));
  const int percent = Percent(clamped);
  // The full gauge is always drawn exactly, even when the percentage was
  // already shown as 100 by rounding.
  const bool reaches_end = clamped == maximum_ && shown_ != maximum_;
  if (percent == shown_percent_ && !reaches_end) return false;
  shown_ = clamped;
  shown_percent_ = percent;
  view_.SetGaugeProgress(clamped);
  return true;
}

}  // namespace fjl::restore
