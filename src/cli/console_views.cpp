#include "cli/console_views.h"

#include <algorithm>
#include <utility>

#include "tape/record_types.h"

namespace fjl::cli {

int Percent(std::int64_t part, std::int64_t whole) {
  if (whole <= 0) return 100;
  const std::int64_t clamped = std::clamp<std::int64_t>(part, 0, whole);
  return static_cast<int>(clamped * 100 / whole);
}

std::string ElapsedText(std::chrono::milliseconds elapsed) {
  const std::int64_t seconds = std::max<std::int64_t>(elapsed.count(), 0) / 1000;
  const auto two_digits = [](std::int64_t n) {
    std::string text(n < 10 ? 1 : 0, '0');
    return text += std::to_string(n);
  };
  const std::string minutes_seconds = two_digits(seconds / 60 % 60) + ":" + two_digits(seconds % 60);
  if (seconds >= 3600) return std::to_string(seconds / 3600) + ":" + minutes_seconds;
  return std::to_string(seconds / 60) + ":" + two_digits(seconds % 60);
}

DownloadConsoleView::DownloadConsoleView(Console& console, std::string title,
                                         std::span<const tape::CounterBox> boxes, bool verbose, std::int64_t kept,
                                         SteadyClock clock)
    : console_(console),
      title_(std::move(title)),
      counters_(boxes.size(), "0"),
      verbose_(verbose),
      kept_(kept),
      clock_(clock ? std::move(clock) : SteadyClock([] { return std::chrono::steady_clock::now(); })),
      started_(clock_()),
      bytes_stored_(kept) {
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

void DownloadConsoleView::ShowProgress(std::int64_t bytes_stored, std::int64_t) {
  bytes_stored_ = bytes_stored;
  progress_started_ = true;
  DrawSoon();
}

std::string DownloadConsoleView::CounterText(std::size_t box) const { return counters_.at(box); }

void DownloadConsoleView::SetCounterText(std::size_t box, std::string_view text) {
  counters_.at(box) = std::string(text);
  if (box == total_box_ && progress_started_) DrawSoon();
}

// Counts change once per record and the bytes once per chunk, a hundred
// times a second at the fastest speeds; the line is redrawn ten times a
// second at most, so a long tape does not cost a terminal write per record.
void DownloadConsoleView::DrawSoon() {
  behind_ = true;
  if (!console_.Terminal()) return;
  if (!last_drawn_ || clock_() - *last_drawn_ >= std::chrono::milliseconds(100)) DrawProgress();
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
  behind_ = false;
  const auto now = clock_();
  last_drawn_ = now;
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - started_);
  const Catalogue& texts = console_.Texts();
  const std::string bytes = std::to_string(bytes_stored_);
  // Within the first second a speed would be the noise of one chunk.
  if (elapsed < std::chrono::seconds(1)) {
    console_.Progress(texts.Text("progress.download", {{"area", title_},
                                                       {"bytes", bytes},
                                                       {"records", TotalText()},
                                                       {"elapsed", ElapsedText(elapsed)}}));
    return;
  }
  console_.Progress(texts.Text("progress.download_rate",
                               {{"area", title_},
                                {"bytes", bytes},
                                {"records", TotalText()},
                                {"rate", std::to_string((bytes_stored_ - kept_) * 1000 / elapsed.count())},
                                {"elapsed", ElapsedText(elapsed)}}));
}

RestoreConsoleView::RestoreConsoleView(Console& console, std::span<const std::uint8_t> tape)
    : console_(console), tape_(tape) {}

void RestoreConsoleView::SetGaugeRange(std::int32_t minimum, std::int32_t maximum) {
  minimum_ = minimum;
  maximum_ = maximum;
}

// The gauge stands at the record the restoration takes next: every record
// before it is restored, counted the way the download counted them.
void RestoreConsoleView::SetGaugeProgress(std::int32_t progress) {
  while (walked_ < std::min<std::int64_t>(progress, static_cast<std::int64_t>(tape_.size()))) {
    const std::uint8_t length = tape::RecordLength(tape_[static_cast<std::size_t>(walked_)]);
    if (length == 0) break;
    walked_ += length;
    ++records_;
  }
  const std::int64_t done = std::int64_t{progress} - minimum_;
  const std::int64_t whole = std::int64_t{maximum_} - minimum_;
  console_.Progress(console_.Texts().Text("progress.restore", {{"records", std::to_string(records_)},
                                                               {"done", std::to_string(std::max<std::int64_t>(done, 0))},
                                                               {"whole", std::to_string(whole)},
                                                               {"percent", std::to_string(Percent(done, whole))}}));
}

}  // namespace fjl::cli
