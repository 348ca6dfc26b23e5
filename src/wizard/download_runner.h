#pragma once
// The busy-download runner of steps 1 and 2: a download runs inside one
// handler with the windows busy; the step's buttons follow its phase; the
// result and status boxes follow its replies; and Escape or the close button
// stop it at the next exchange once the user has said so.

#include <functional>
#include <string_view>
#include <utility>

#include "link/device_link.h"
#include "tape/download_view.h"
#include "tape/record_counters.h"
#include "user/message_sink.h"
#include "user/stop_signal.h"
#include "wizard/button_tables.h"
#include "wizard/counter_cache.h"
#include "wizard/step_view.h"
#include "wizard/toolkit.h"

namespace fjl::wizard {

struct DownloadHooks {
  std::function<void(std::string_view)> set_result;  // "Результат выполнения:"
  std::function<void(std::string_view)> set_status;  // "Статус регистратора:"
  std::function<bool(std::string_view)> ask_yes_no;  // a question over the step window
  std::function<void(DownloadPhase)> show_buttons;   // the step's button table
  // The link the download talks over: the windows are drawn while its
  // replies are on the wire, off the line's critical path. Without one
  // they are drawn before each request.
  link::DeviceLink* link = nullptr;
};

// The hooks of a step window whose controls include ResultBox and StatusBox.
template <class Control>
DownloadHooks StepDownloadHooks(StepView<Control>& view, std::function<void(DownloadPhase)> show_buttons) {
  return {[&view](std::string_view text) { view.SetText(Control::ResultBox, text); },
          [&view](std::string_view text) { view.SetText(Control::StatusBox, text); },
          [&view](std::string_view text) { return view.AskYesNo(text); }, std::move(show_buttons)};
}

// What a running download reports through. The counts reach the step's
// boxes at the screen's pace and at the end, and always before a message
// box or a question comes up over them.
struct DownloadSurface {
  tape::DownloadView& boxes;
  tape::RecordCounterView& counters;
  MessageSink& messages;
  const StopSignal& stop;
};

class DownloadRunner {
 public:
  explicit DownloadRunner(Toolkit& toolkit) : toolkit_(toolkit) {}
  DownloadRunner(const DownloadRunner&) = delete;
  DownloadRunner& operator=(const DownloadRunner&) = delete;

  bool Running() const { return running_ != nullptr; }
  // Escape or the close button during a download: before its next exchange
  // the user is asked "Прервать чтение?". Nothing happens when no download runs.
  void StopAsked();

  // Runs `download` with the windows busy. The buttons are set for Running
  // first and, however the download ends (an error escaping included), for
  // its outcome afterwards. The download reports through the surface it is
  // given, over the step's `counters` and `messages`, and polls the stop
  // signal before every request.
  using Download = std::function<tape::DownloadOutcome(const DownloadSurface& surface)>;
  tape::DownloadOutcome Run(const DownloadHooks& hooks, tape::RecordCounterView& counters, MessageSink& messages,
                            const Download& download);

 private:
  class BusyView;

  Toolkit& toolkit_;
  BusyView* running_ = nullptr;
};

}  // namespace fjl::wizard
