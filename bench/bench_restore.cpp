// Restoring a full 200,004-byte tape of realistic receipts into lines, with
// the printer's names already known. Target: 50 ms.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench_summary.h"
#include "full_tape_journal.h"
#include "restore/restore_tape.h"
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

// The same restoration building the tape model, then its JSON export: what
// --export json adds to a run.
void BM_RestoreAndExportJson(benchmark::State& state) {
  auto tape = std::make_unique<tape::TapeData>();
  auto aux = std::make_unique<tape::AuxImage>();
  bench::BuildFullJournal(*tape, *aux);
  bench::InstantPrinter printer;
  QuietMessages messages;
  std::size_t bytes = 0;
  std::chrono::nanoseconds restoring{0}, exporting{0};
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
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
    const auto restored = std::chrono::steady_clock::now();
    const std::string json = tapedata::TapeJson(model.Model(), {"bench", "2024-01-01T00:00:00"});
    bytes = json.size();
    benchmark::DoNotOptimize(bytes);
    exporting += std::chrono::steady_clock::now() - restored;
    restoring += restored - start;
  }
  if (state.iterations() == 0) return;
  const auto per_run = [&state](std::chrono::nanoseconds t) {
    return std::chrono::duration<double, std::milli>(t).count() / static_cast<double>(state.iterations());
  };
  bench::Summarize("export", bench::Format("export    restoration with the model: %.1f ms, then JSON (%.0f bytes): %.1f ms",
                                           per_run(restoring), static_cast<double>(bytes), per_run(exporting)));
}
BENCHMARK(BM_RestoreAndExportJson)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return fjl::bench::RunAndSummarize(argc, argv); }
