#pragma once
// The step 3 window's side of a restoration: the text box that takes the
// restored lines, the gauge and the restore button.

#include <QPushButton>
#include <span>
#include <string>

#include "restore/restore_view.h"

namespace fjl::app {

class ProgressGauge;
class TapeTextBox;

// Each batch of restored lines goes into the box in one edit.
class TextBoxLineView : public restore::LineView {
 public:
  explicit TextBoxLineView(TapeTextBox& box) : box_(box) {}
  void AppendLines(std::span<const std::string> lines) override;

 private:
  TapeTextBox& box_;
};

class Step3RestoreView : public restore::RestoreView {
 public:
  Step3RestoreView(ProgressGauge& gauge, QPushButton& restore_button)
      : gauge_(gauge), restore_button_(restore_button) {}

  void SetGaugeRange(std::int32_t minimum, std::int32_t maximum) override;
  // Called about a hundred times a run, when the shown percentage moves:
  // the gauge and the lines handed over so far are painted then.
  void SetGaugeProgress(std::int32_t progress) override;
  void SetRestoreEnabled(bool enabled) override;

 private:
  ProgressGauge& gauge_;
  QPushButton& restore_button_;
};

}  // namespace fjl::app
