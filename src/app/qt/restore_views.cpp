#include "app/qt/restore_views.h"

#include "app/qt/busy_guard.h"
#include "app/qt/progress_gauge.h"
#include "app/qt/tape_text_box.h"

namespace fjl::app {

void TextBoxLineView::AppendLines(std::span<const std::string> lines) { box_.AppendLines(lines); }

void Step3RestoreView::SetGaugeRange(std::int32_t minimum, std::int32_t maximum) {
  gauge_.SetRange(minimum, maximum);
}

void Step3RestoreView::SetGaugeProgress(std::int32_t progress) {
  gauge_.SetProgress(progress);
  KeepPainted();
}

void Step3RestoreView::SetRestoreEnabled(bool enabled) { restore_button_.setEnabled(enabled); }

}  // namespace fjl::app
