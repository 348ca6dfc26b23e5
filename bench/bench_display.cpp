// The step 3 window's restoration of a full 200,004-byte tape, shown: the
// same core call the step 3 presenter makes, with the window appending the
// lines to its text box in batches and painting whenever the gauge's
// percentage moves, on Qt's offscreen platform. Target: 1 s.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/qt/busy_guard.h"
#include "app/qt/tape_text_box.h"
#include "app/qt/tform3.h"
#include "bench_summary.h"
#include "shown_restoration.h"

namespace {

using namespace fjl;

constexpr double kTargetMs = 1000.0;

class QuietMessages final : public MessageSink, public app::MessageBoxes {
 public:
  void ShowMessage(std::string_view) override {}
  void ShowError(std::string_view) override {}
  void ShowMessage(QWidget*, std::string_view) override {}
  void ShowError(QWidget*, std::string_view) override {}
  bool AskYesNo(QWidget*, std::string_view) override { return false; }
};

void BM_RestoreIntoTheShownTextBox(benchmark::State& state) {
  auto tape = std::make_unique<tape::TapeData>();
  auto aux = std::make_unique<tape::AuxImage>();
  bench::BuildFullJournal(*tape, *aux);
  QuietMessages messages;
  std::chrono::nanoseconds spent{0};
  int lines = 0;
  for (auto _ : state) {
    state.PauseTiming();
    app::TForm3 window(messages);
    app::QtToolkit toolkit;
    app::TapeTextBox* box = window.TextBox();
    window.show();
    QCoreApplication::processEvents();
    state.ResumeTiming();

    const auto start = std::chrono::steady_clock::now();
    const bench::ShownRestoration shown = bench::RestoreIntoWindow(window, toolkit, *tape, *aux, messages);
    QCoreApplication::processEvents();  // the last lines painted
    spent += std::chrono::steady_clock::now() - start;

    if (shown.Outcome != restore::RestoreOutcome::Completed) {
      state.SkipWithError("the restoration stopped");
      break;
    }
    lines = box->LineCount();
    if (static_cast<std::size_t>(lines) != shown.Lines) {
      state.SkipWithError("the box does not hold every line");
      break;
    }
  }
  if (state.iterations() == 0) return;
  const double ms = std::chrono::duration<double, std::milli>(spent).count() / static_cast<double>(state.iterations());
  state.counters["lines"] = lines;
  state.counters["ratio_to_1s"] = ms / kTargetMs;
  bench::Summarize("display", bench::Format("display   full tape restored into the shown text box (%.0f lines, offscreen):"
                                            " %.0f ms = %.2f x the 1 s target",
                                            static_cast<double>(lines), ms, ms / kTargetMs));
}
BENCHMARK(BM_RestoreIntoTheShownTextBox)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  return fjl::bench::RunAndSummarize(argc, argv);
}
