#include "wizard/gauge.h"

#include <algorithm>

namespace fjl::wizard {
namespace {

// 64-bit, so a full 32-bit range times 100 (or times a width) cannot overflow.
std::int64_t Share(std::int64_t done, std::int64_t range, std::int64_t scale) {
  return range <= 0 ? 0 : done * scale / range;
}

}  // namespace

void GaugeState::SetRange(std::int32_t minimum, std::int32_t maximum) {
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
  progress_ = std::clamp(progress_, minimum_, maximum_);
}

void GaugeState::SetProgress(std::int32_t progress) {
  progress_ = std::clamp(progress, minimum_, maximum_);
}

int GaugeState::PercentDone() const {
  return static_cast<int>(Share(std::int64_t{progress_} - minimum_, std::int64_t{maximum_} - minimum_, 100));
}

std::string GaugeState::Text() const { return std::to_string(PercentDone()) + "%"; }

int GaugeState::FilledWidth(int width) const {
  return static_cast<int>(
      Share(std::int64_t{progress_} - minimum_, std::int64_t{maximum_} - minimum_, std::max(width, 0)));
}

}  // namespace fjl::wizard
