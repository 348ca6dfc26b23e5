#include "wizard/download_runner.h"

#include "wizard/window_texts.h"

namespace fjl::wizard {

class DownloadRunner::BusyView final : public tape::DownloadView, public StopSignal {
 public:
  BusyView(Toolkit& toolkit, const DownloadHooks& hooks) : toolkit_(toolkit), hooks_(hooks) {}

  void SetResult(std::string_view text) override { hooks_.set_result(text); }
  void SetStatus(std::string_view text) override { hooks_.set_status(text); }
  // The counters are painted as they change; the rest of the window is
  // painted here, after every chunk.
  void ShowProgress(std::int64_t bytes_stored, std::int64_t window_size) override {
    toolkit_.ShowTaskProgress(bytes_stored, window_size);
    toolkit_.KeepResponsive();
  }

  // Before every exchange: Escape and the close button are noticed here,
  // and the question comes between two exchanges, never inside one.
  bool StopRequested() const override {
    toolkit_.KeepResponsive();
    if (!stop_asked_) return false;
    stop_asked_ = false;
    return hooks_.ask_yes_no(kAskStopReading);
  }

  void StopAsked() { stop_asked_ = true; }

 private:
  Toolkit& toolkit_;
  const DownloadHooks& hooks_;
  // Set from the busy filter while the download polls: the poll is const
  // to the download, not to the window behind it.
  mutable bool stop_asked_ = false;
};

void DownloadRunner::StopAsked() {
  if (running_ != nullptr) running_->StopAsked();
}

tape::DownloadOutcome DownloadRunner::Run(const DownloadHooks& hooks, const Download& download) {
  BusyView view(toolkit_, hooks);
  // Undone in reverse order however the download ends: the buttons are set
  // for the outcome while the windows are still busy, and only then does
  // the input that came meanwhile get dropped.
  struct Busy {
    DownloadRunner& runner;
    ~Busy() {
      runner.running_ = nullptr;
      runner.toolkit_.EndBusy();
    }
  };
  struct ButtonsAtEnd {
    const DownloadHooks& hooks;
    DownloadPhase phase = DownloadPhase::Failed;
    ~ButtonsAtEnd() { hooks.show_buttons(phase); }
  };

  toolkit_.BeginBusy([this] { StopAsked(); });
  Busy busy{*this};
  running_ = &view;
  hooks.show_buttons(DownloadPhase::Running);
  ButtonsAtEnd at_end{hooks};
  const tape::DownloadOutcome outcome = download(view, view);
  at_end.phase = wizard::PhaseAfter(outcome);
  return outcome;
}

}  // namespace fjl::wizard
