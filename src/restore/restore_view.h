#pragma once
// What a restoration run shows besides messages: the gauge, the restore
// button and the restored lines. The step 3 window, the CLI and the tests
// implement it.

#include <cstdint>
#include <span>
#include <string>

namespace fjl::restore {

class LineView {
 public:
  virtual ~LineView() = default;
  // Appends a batch of lines (UTF-8) below those already shown, in one go.
  virtual void AppendLines(std::span<const std::string> lines) = 0;
};

class RestoreView {
 public:
  virtual ~RestoreView() = default;
  virtual void SetGaugeRange(std::int32_t minimum, std::int32_t maximum) = 0;
  // Called only when the shown percentage changes, always inside the range.
  virtual void SetGaugeProgress(std::int32_t progress) = 0;
  virtual void SetRestoreEnabled(bool enabled) = 0;
};

}  // namespace fjl::restore
