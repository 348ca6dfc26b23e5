// The step 3 window's restoration of a full 200,004-byte tape, shown in the
// Win32 text box: the core call the step 3 presenter makes, with the window
// appending the lines in batches and painting the gauge whenever its
// percentage moves, then the box painted once more. A plain program (there
// is no Google Benchmark for mingw here): three runs, each in a new shown
// window, their times and mean against the 1 s target.

#include <windows.h>
#include <commctrl.h>

#include <chrono>
#include <cstdio>
#include <memory>

#include "app/win32/tform3.h"
#include "bench/shown_restoration.h"

namespace {

using namespace fjl;

constexpr double kTargetMs = 1000.0;
constexpr int kRuns = 3;

class QuietMessages final : public MessageSink {
 public:
  void ShowMessage(std::string_view) override {}
  void ShowError(std::string_view) override {}
};

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

}  // namespace

int main() {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  auto tape = std::make_unique<tape::TapeData>();
  auto aux = std::make_unique<tape::AuxImage>();
  bench::BuildFullJournal(*tape, *aux);
  QuietMessages messages;

  double total_ms = 0;
  std::size_t lines = 0;
  for (int run = 0; run < kRuns; ++run) {
    app::win32::Win32Toolkit toolkit;
    app::win32::TForm3 window(toolkit);
    window.ShowWindow();
    PumpMessages();

    const auto start = std::chrono::steady_clock::now();
    const bench::ShownRestoration shown = bench::RestoreIntoWindow(window, toolkit, *tape, *aux, messages);
    UpdateWindow(window.Handle());
    PumpMessages();  // the last lines painted
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    if (shown.Outcome != restore::RestoreOutcome::Completed) {
      std::fprintf(stderr, "bench_display_win32: the restoration stopped\n");
      return 1;
    }
    lines = window.TapeLines().size();
    if (lines != shown.Lines) {
      std::fprintf(stderr, "bench_display_win32: the box holds %zu lines of %zu\n", lines, shown.Lines);
      return 1;
    }
    std::printf("run %d: %.0f ms\n", run + 1, ms);
    total_ms += ms;
  }
  const double mean = total_ms / kRuns;
  std::printf("display   full tape restored into the shown Win32 text box (%zu lines, under wine): %.0f ms = %.2f x "
              "the 1 s target\n",
              lines, mean, mean / kTargetMs);
  return 0;
}
