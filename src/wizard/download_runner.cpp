#include "wizard/download_runner.h"

#include <optional>
#include <string>
#include <utility>

#include "wizard/window_texts.h"

namespace fjl::wizard {

class DownloadRunner::BusyView final : public tape::DownloadView,
                                       public tape::RecordCounterView,
                                       public MessageSink,
                                       public StopSignal {
 public:
  BusyView(Toolkit& toolkit, const DownloadHooks& hooks, tape::RecordCounterView& counters, MessageSink& messages,
           const RedrawPace::Clock& clock)
      : toolkit_(toolkit), hooks_(hooks), counters_(counters), messages_(messages), pace_(clock), pump_pace_(clock) {}

  // Each reply's code and status, and how far the download has come, are
  // drawn with the counts.
  void SetResult(std::string_view text) override { result_ = std::string(text); }
  void SetStatus(std::string_view text) override { status_ = std::string(text); }
  void ShowProgress(std::int64_t bytes_stored, std::int64_t window_size) override {
    progress_ = {bytes_stored, window_size};
  }

  std::string CounterText(std::size_t box) const override { return counters_.CounterText(box); }
  void SetCounterText(std::size_t box, std::string_view text) override {
    counters_.SetCounterText(box, text);
    // Without a link to draw behind, a long run of records keeps the boxes
    // moving too.
    if (hooks_.link == nullptr && pace_.Due()) Draw();
  }

  void ShowMessage(std::string_view text) override {
    Draw();
    messages_.ShowMessage(text);
  }
  void ShowError(std::string_view text) override {
    Draw();
    messages_.ShowError(text);
  }

  // When due, what the chunks walked since changed is drawn, the rest of
  // the window painted, and Escape and the close button noticed; a pass
  // through the toolkit for every chunk would cost the line a tenth of its
  // speed. With a link that happens while a reply is on the wire, else here.
  void Pump() const {
    if (!pump_pace_.Due()) return;
    Draw();
    toolkit_.KeepResponsive();
  }

  // Before every exchange. The question comes between two exchanges, never
  // inside one.
  bool StopRequested() const override {
    if (hooks_.link == nullptr) Pump();
    if (!stop_asked_) return false;
    stop_asked_ = false;
    Draw();
    return hooks_.ask_yes_no(kAskStopReading);
  }

  void StopAsked() { stop_asked_ = true; }

  // Brings the windows up to date with the download.
  void Draw() const {
    if (result_) hooks_.set_result(*std::exchange(result_, std::nullopt));
    if (status_) hooks_.set_status(*std::exchange(status_, std::nullopt));
    // A taskbar button is another process's window: a call per chunk costs
    // as much as the chunk's own work.
    if (progress_) toolkit_.ShowTaskProgress(progress_->first, progress_->second);
    progress_.reset();
    counters_.Flush();
  }

 private:
  Toolkit& toolkit_;
  const DownloadHooks& hooks_;
  // The poll is const to the download, not to the window behind it: the
  // stop flag is set from the busy filter, the counts drawn while it polls.
  mutable CounterCache counters_;
  MessageSink& messages_;
  // Apart, so that records counted in a burst never starve the pump.
  mutable RedrawPace pace_;
  mutable RedrawPace pump_pace_;
  mutable std::optional<std::string> result_;  // not drawn yet
  mutable std::optional<std::string> status_;
  mutable std::optional<std::pair<std::int64_t, std::int64_t>> progress_;
  mutable bool stop_asked_ = false;
};

void DownloadRunner::StopAsked() {
  if (running_ != nullptr) running_->StopAsked();
}

tape::DownloadOutcome DownloadRunner::Run(const DownloadHooks& hooks, tape::RecordCounterView& counters,
                                          MessageSink& messages, const Download& download) {
  BusyView view(toolkit_, hooks, counters, messages, [this] { return toolkit_.Now(); });
  // Undone in reverse order however the download ends: the last counts are
  // drawn and the buttons set for the outcome while the windows are still
  // busy, and only then does the input that came meanwhile get dropped.
  struct Busy {
    DownloadRunner& runner;
    ~Busy() {
      runner.running_ = nullptr;
      runner.toolkit_.EndBusy();
    }
  };
  struct AtEnd {
    const DownloadHooks& hooks;
    BusyView& view;
    DownloadPhase phase = DownloadPhase::Failed;
    ~AtEnd() {
      view.Draw();
      hooks.show_buttons(phase);
    }
  };

  toolkit_.BeginBusy([this] { StopAsked(); });
  Busy busy{*this};
  // Undone before the view it calls goes.
  struct Pumping {
    link::DeviceLink* link;
    ~Pumping() {
      if (link != nullptr) link->SetWhileAwaitingReply({});
    }
  } pumping{hooks.link};
  if (hooks.link != nullptr) hooks.link->SetWhileAwaitingReply([&view] { view.Pump(); });
  running_ = &view;
  hooks.show_buttons(DownloadPhase::Running);
  AtEnd at_end{hooks, view};
  const tape::DownloadOutcome outcome = download({view, view, view, view});
  at_end.phase = wizard::PhaseAfter(outcome);
  return outcome;
}

}  // namespace fjl::wizard
