#pragma once
// The step windows' boxes, counters and gauge as the console shows them:
// counters are kept in memory, progress goes to the console's progress
// line, and with --verbose every reply's result code and status bytes get
// a line of their own.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/console.h"
#include "restore/restore_view.h"
#include "tape/download_view.h"
#include "tape/record_counters.h"

namespace fjl::cli {

using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

// Also the download's message sink: the progress line is brought up to date
// before a message ends it, so the last counts stay on screen.
//
// The line says how far the download got and how fast it goes: "Контрольная
// лента: 45000 байт, записей 1234, 958 байт/с, 0:47". A share of the flash
// window would say nothing: a full tape fills a few per cent of it.
class DownloadConsoleView final : public tape::DownloadView, public tape::RecordCounterView, public MessageSink {
 public:
  // `title` names the download on its progress line; `boxes` are the
  // counter boxes of its window. `kept`: bytes an earlier run stored, which
  // the speed leaves out. The time counts from here.
  DownloadConsoleView(Console& console, std::string title, std::span<const tape::CounterBox> boxes,
                      bool verbose, std::int64_t kept = 0, SteadyClock clock = {});

  void SetResult(std::string_view text) override;
  void SetStatus(std::string_view text) override;
  void ShowProgress(std::int64_t bytes_stored, std::int64_t window_size) override;

  std::string CounterText(std::size_t box) const override;
  void SetCounterText(std::size_t box, std::string_view text) override;

  void ShowMessage(std::string_view text) override;
  void ShowError(std::string_view text) override;

  // Bytes wholly stored in the image so far: the part of the image worth keeping.
  std::int64_t BytesStored() const { return bytes_stored_; }
  const Catalogue& Texts() const { return console_.Texts(); }
  const std::string& Title() const { return title_; }
  // What the "Всего:" box shows.
  const std::string& TotalText() const;
  // Draws the latest counts if the line lags behind them (a download that
  // ended without a message).
  void DrawIfBehind();

 private:
  void DrawProgress();
  void DrawSoon();

  Console& console_;
  std::string title_;
  std::vector<std::string> counters_;
  std::size_t total_box_ = 0;
  bool verbose_;
  std::string result_;
  std::int64_t kept_;
  SteadyClock clock_;
  std::chrono::steady_clock::time_point started_;
  std::int64_t bytes_stored_ = 0;
  bool progress_started_ = false;
  bool behind_ = false;  // counts changed since the last drawing
  std::optional<std::chrono::steady_clock::time_point> last_drawn_;
};

class RestoreConsoleView final : public restore::RestoreView {
 public:
  // `tape`: the image restored, walked alongside to count its records.
  RestoreConsoleView(Console& console, std::span<const std::uint8_t> tape);

  void SetGaugeRange(std::int32_t minimum, std::int32_t maximum) override;
  void SetGaugeProgress(std::int32_t progress) override;
  void SetRestoreEnabled(bool enabled) override { restore_enabled_ = enabled; }

  bool RestoreEnabled() const { return restore_enabled_; }
  // Records restored so far: every record the gauge has passed, the ones
  // that write no line of their own (barcodes, receipt voids) included, so
  // the count is the download's.
  std::int64_t Records() const { return records_; }

 private:
  Console& console_;
  std::span<const std::uint8_t> tape_;
  std::int64_t walked_ = 0;  // where the next record to count begins
  std::int64_t records_ = 0;
  std::int32_t minimum_ = 0;
  std::int32_t maximum_ = 0;
  bool restore_enabled_ = true;
};

// Whole per cent of `part` in `whole`, 0..100 (100 for an empty whole).
int Percent(std::int64_t part, std::int64_t whole);

// "0:07", "12:34", "1:02:03": the time a download has taken so far.
std::string ElapsedText(std::chrono::milliseconds elapsed);

}  // namespace fjl::cli
