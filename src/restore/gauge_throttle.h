#pragma once
// What reaches the restoration's progress gauge. The walk reports its position once per
// record; the view is redrawn only when the shown percentage changes, so a
// long tape costs about a hundred redraws, not one per record.

#include <cstdint>

#include "restore/restore_view.h"

namespace fjl::restore {

class GaugeThrottle {
 public:
  explicit GaugeThrottle(RestoreView& view) : view_(view) {}

  // Sets the range and shows the minimum. A maximum below the minimum is
  // taken as the minimum.
  void SetRange(std::int32_t minimum, std::int32_t maximum);
  // Clamps to the range. Returns true when the view was redrawn.
  bool SetProgress(std::int64_t progress);
  std::int32_t Progress() const { return shown_; }

 private:
  int Percent(std::int32_t progress) const;

  RestoreView& view_;
  std::int32_t minimum_ = 0;
  std::int32_t maximum_ = 0;
  std::int32_t shown_ = 0;
  int shown_percent_ = 0;
};

}  // namespace fjl::restore
