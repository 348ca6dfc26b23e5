#include "cli/console_views.h"

#include <algorithm>
#include <utility>

namespace fjl::cli {

int Percent(std::int64_t part, std::int64_t whole) {
  if (whole <= 0) return 100;
  const std::int64_t clamped = std::clamp<std::int64_t>(part, 0, whole);
  return static_cast<int>(clamped * 100 / whole);
}

DownloadConsoleView::DownloadConsoleView(Console& console, std::string title,
                                         std::span<const tape::CounterBox> boxes, bool verbose)
    : console_(console), title_(std::move(title)), counters_(boxes.size(), "0"), verbose_(verbose) {
  for (std::size_t i = 0; i < boxes.size(); ++i) {
    if (boxes[i].kind == tape::kTotalKind) total_box_ = i;
  }
}

void DownloadConsoleView::SetResult(std::string_view text) { result_ = text; }

// The download sets the status box right after the result box, so one line
// carries both.
void DownloadConsoleView::SetStatus(std::string_view text) {
  if (!verbose_) return;
  console_.Note("Результат выполнения: " + result_ + "  Статус регистратора: " + std::string(text));
}

void DownloadConsoleView::ShowProgress(std::int64_t bytes_stored, std::int64_t window_size) {
  bytes_stored_ = bytes_stored;
  window_size_ = window_size;
  DrawProgress();
}

std::string DownloadConsoleView::CounterText(std::size_t box) const { return counters_.at(box); }

// Counts change once per record; the line is redrawn a few times a second
// at most, so a long tape does not cost a terminal write per record.
void DownloadConsoleView::SetCounterText(std::size_t box, std::string_view text) {
  counters_.at(box) = std::string(text);
  if (box != total_box_ || !progress_started_) return;
  behind_ = true;
  if (std::chrono::steady_clock::now() - last_drawn_ >= std::chrono::milliseconds(100)) DrawProgress();
}

void DownloadConsoleView::ShowMessage(std::string_view text) {
  DrawIfBehind();
  console_.ShowMessage(text);
}

void DownloadConsoleView::ShowError(std::string_view text) {
  DrawIfBehind();
  console_.ShowError(text);
}

void DownloadConsoleView::DrawIfBehind() {
  if (behind_) DrawProgress();
}

const std::string& DownloadConsoleView::TotalText() const { return counters_.at(total_box_); }

void DownloadConsoleView::DrawProgress() {
  progress_started_ = true;
  behind_ = false;
  last_drawn_ = std::chrono::steady_clock::now();
  console_.Progress(title_ + ": записей " + TotalText() + ", байт " + std::to_string(bytes_stored_) + " (" +
                    std::to_string(Percent(bytes_stored_, window_size_)) + "% области)");
}

RestoreConsoleView::RestoreConsoleView(Console& console, const restore::RestorationState& state)
    : console_(console), state_(state) {}

void RestoreConsoleView::SetGaugeRange(std::int32_t minimum, std::int32_t maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

void RestoreConsoleView::SetGaugeProgress(std::int32_t progress) {
  const std::int64_t done = std::int64_t{progress} - minimum_;
  const std::int64_t whole = std::int64_t{maximum_} - minimum_;
  console_.Progress("Восстановление: записей " + std::to_string(state_.RecordLineTable.size()) + ", байт " +
                    std::to_string(std::max<std::int64_t>(done, 0)) + " из " + std::to_string(whole) + " (" +
                    std::to_string(Percent(done, whole)) + "%)");
}

}  // namespace fjl::cli
