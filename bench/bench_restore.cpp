// Restoring a full 200,004-byte tape of realistic receipts into lines, with
// the printer's names already known. Target: 50 ms.

#include <benchmark/benchmark.h>

#include <time.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench_summary.h"
#include "full_tape_journal.h"
#include "restore/restore_tape.h"
#include "tapecheck/check_report.h"
#include "tapecheck/tape_check.h"
#include "tapedata/tape_csv.h"
#include "tapedata/tape_json.h"

namespace {

using namespace fjl;

constexpr double kTargetMs = 50.0;

class QuietView final : public restore::RestoreView, public restore::LineView {
 public:
  void SetGaugeRange(std::int32_t, std::int32_t) override {}
  void SetGaugeProgress(std::int32_t) override { ++redraws; }
  void SetRestoreEnabled(bool) override {}
  void AppendLines(std::span<const std::string> lines) override { shown += lines.size(); }
  std::size_t redraws = 0;
  std::size_t shown = 0;
};

class QuietMessages final : public MessageSink {
 public:
  void ShowMessage(std::string_view) override {}
  void ShowError(std::string_view) override {}
};

void BM_RestoreFullTape(benchmark::State& state) {
  auto tape = std::make_unique<tape::TapeData>();
  auto aux = std::make_unique<tape::AuxImage>();
  bench::BuildFullJournal(*tape, *aux);
  bench::InstantPrinter printer;
  QuietMessages messages;
  std::size_t lines = 0;
  std::chrono::nanoseconds spent{0};
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    {
      // The lines are let go inside the timed part too.
      QuietView view;
      restore::RestorationState restoration;
      restore::LineSink text(&view);
      const restore::RestoreInputs inputs{printer, "482913", *tape, *aux, {}};
      if (restore::RestoreTape(inputs, restoration, text, view, messages) != restore::RestoreOutcome::Completed) {
        state.SkipWithError("the restoration stopped");
        break;
      }
      lines = text.LineCount();
      benchmark::DoNotOptimize(lines);
    }
    spent += std::chrono::steady_clock::now() - start;
  }
  if (state.iterations() == 0) return;
  const double ms = std::chrono::duration<double, std::milli>(spent).count() / static_cast<double>(state.iterations());
  state.counters["lines"] = static_cast<double>(lines);
  state.counters["ratio_to_50ms"] = ms / kTargetMs;
  bench::Summarize("restore", bench::Format("restore   full tape (%.0f bytes, %.0f lines, names cached): %.1f ms"
                                            " = %.2f x the 50 ms target",
                                            static_cast<double>(tape->TapeLength + 1), static_cast<double>(lines), ms,
                                            ms / kTargetMs));
}
BENCHMARK(BM_RestoreFullTape)->Unit(benchmark::kMillisecond)->UseRealTime();

// The time this thread has run: the export figures are compared with the
// restoration on a machine whose two cores other builds share, and wall
// time would count their turns too.
std::chrono::nanoseconds ThreadTime() {
  timespec now{};
  ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// The same restoration building the tape model, then what --export json,
// --export csv and --report add to a run, each timed on its own: the model
// is built inside the restoration (its observer), the rest after it.
void BM_RestoreAndExport(benchmark::State& state) {
  auto tape = std::make_unique<tape::TapeData>();
  auto aux = std::make_unique<tape::AuxImage>();
  bench::BuildFullJournal(*tape, *aux);
  bench::InstantPrinter printer;
  QuietMessages messages;
  std::size_t json_bytes = 0, csv_bytes = 0, report_bytes = 0, findings = 0;
  // Thread time of each part: the plain restoration, the one building the
  // model, the JSON, the CSV, the check and its two reports.
  std::chrono::nanoseconds plain{0}, restoring{0}, json_time{0}, csv_time{0}, check_time{0}, report_time{0};
  for (auto _ : state) {
    {
      QuietView view;
      restore::RestorationState restoration;
      restore::LineSink text(&view);
      const auto start = ThreadTime();
      const restore::RestoreInputs inputs{printer, "482913", *tape, *aux, {}};
      if (restore::RestoreTape(inputs, restoration, text, view, messages) != restore::RestoreOutcome::Completed) {
        state.SkipWithError("the restoration stopped");
        break;
      }
      plain += ThreadTime() - start;
    }
    const auto start = ThreadTime();
    QuietView view;
    restore::RestorationState restoration;
    restore::LineSink text(&view);
    tapedata::TapeModelBuilder model(static_cast<std::int64_t>(tape->Image.Size()));
    const restore::RestoreInputs inputs{printer, "482913", *tape, *aux, {}, nullptr, restore::kRestoredTextBudget,
                                        &model};
    if (restore::RestoreTape(inputs, restoration, text, view, messages) != restore::RestoreOutcome::Completed) {
      state.SkipWithError("the restoration stopped");
      break;
    }
    const auto restored = ThreadTime();
    // As --export json writes it: a part at a time, each handed on to the
    // file (here only counted; the disk is the system's time, as the FJL
    // file's save is not in the restoration's).
    std::size_t json_written = 0;
    tapedata::WriteTapeJson(model.Model(), {"bench", "2024-01-01T00:00:00"},
                            [&json_written](std::string_view part) { json_written += part.size(); });
    const auto json_done = ThreadTime();
    const tapedata::TapeCsv csv = tapedata::TapeCsvTables(model.Model());
    const auto csv_done = ThreadTime();
    const tapecheck::TapeCheck check = tapecheck::CheckTape(model.Model());
    const auto check_done = ThreadTime();
    const std::string report = tapecheck::ReportText(check) + tapecheck::ReportJson(check);
    const auto report_done = ThreadTime();
    json_bytes = json_written;
    csv_bytes = csv.documents.size() + csv.items.size() + csv.payments.size();
    report_bytes = report.size();
    findings = check.findings.size();
    benchmark::DoNotOptimize(json_bytes);
    benchmark::DoNotOptimize(csv_bytes);
    benchmark::DoNotOptimize(report_bytes);
    restoring += restored - start;
    json_time += json_done - restored;
    csv_time += csv_done - json_done;
    check_time += check_done - csv_done;
    report_time += report_done - check_done;
  }
  if (state.iterations() == 0) return;
  const auto per_run = [&state](std::chrono::nanoseconds t) {
    return std::chrono::duration<double, std::milli>(t).count() / static_cast<double>(state.iterations());
  };
  const double base = per_run(plain);
  const auto share = [base](double ms) { return ms / base; };
  const double exports = per_run(json_time + csv_time + check_time + report_time);
  bench::Summarize("export 1", bench::Format("export    (thread time) restoration alone: %.2f ms, the base of the shares"
                                             " below; building the model too: %.2f ms = %.2f x",
                                             base, per_run(restoring), share(per_run(restoring))));
  bench::Summarize("export 2", bench::Format("export    JSON (%.0f bytes): %.2f ms = %.2f x the restoration",
                                             static_cast<double>(json_bytes), per_run(json_time),
                                             share(per_run(json_time))));
  bench::Summarize("export 3", bench::Format("export    CSV, three tables (%.0f bytes): %.2f ms = %.2f x the restoration",
                                             static_cast<double>(csv_bytes), per_run(csv_time),
                                             share(per_run(csv_time))));
  bench::Summarize("export 4",
                   bench::Format("export    integrity check (%.0f findings): %.2f ms, its reports as text and JSON"
                                 " (%.0f bytes): %.2f ms",
                                 static_cast<double>(findings), per_run(check_time), static_cast<double>(report_bytes),
                                 per_run(report_time)));
  bench::Summarize("export 5", bench::Format("export    JSON, CSV, check and reports together: %.2f ms = %.2f x the"
                                             " restoration",
                                             exports, share(exports)));
}
BENCHMARK(BM_RestoreAndExport)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return fjl::bench::RunAndSummarize(argc, argv); }
