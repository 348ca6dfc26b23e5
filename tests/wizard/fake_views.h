#pragma once
// Step windows without a toolkit: each keeps what its presenter set and
// writes what happens to it (boxes, showing, hiding, closing) into one log
// shared by all three, so a test sees the order across windows.

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "link/device_link.h"
#include "sim/lib/in_process_channel.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"
#include "tape/record_counters.h"
#include "wizard/counter_cache.h"
#include "wizard/step_view.h"
#include "wizard/toolkit.h"
#include "wizard/wizard_steps.h"

namespace fjl::wizard::testing {

using Log = std::vector<std::string>;

template <class Base, class Control>
class FakeWindow : public Base {
 public:
  FakeWindow(std::string name, Log& log) : name_(std::move(name)), log_(log) {}

  void SetText(Control control, std::string_view text) override { texts[control] = std::string(text); }
  std::string Text(Control control) const override {
    const auto found = texts.find(control);
    return found == texts.end() ? std::string() : found->second;
  }
  void SetEnabled(Control control, bool on) override { enabled[control] = on; }
  void SetFocus(Control control) override { focus = control; }
  void ShowWindow() override {
    visible = true;
    Write("shown");
  }
  void HideWindow() override {
    visible = false;
    Write("hidden");
  }
  void CloseWindow() override {
    visible = false;
    closed = true;
    Write("closed");
  }
  void ShowMessage(std::string_view text) override {
    messages.emplace_back(text);
    Write("message: " + std::string(text));
    if (while_message_shown) while_message_shown();
  }
  void ShowError(std::string_view text) override {
    errors.emplace_back(text);
    Write("error: " + std::string(text));
  }
  bool AskYesNo(std::string_view text) override {
    questions.emplace_back(text);
    Write("question: " + std::string(text));
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }

  bool IsEnabled(Control control) const {
    const auto found = enabled.find(control);
    return found == enabled.end() || found->second;
  }

  std::map<Control, std::string> texts;
  std::map<Control, bool> enabled;
  std::optional<Control> focus;
  bool visible = false;
  bool closed = false;
  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::vector<std::string> questions;
  std::deque<bool> answers;  // to the questions, in turn; "no" once they run out
  std::function<void()> while_message_shown;  // what the user does while a box is up

 protected:
  void Write(const std::string& what) { log_.push_back(name_ + ": " + what); }

 private:
  std::string name_;
  Log& log_;
};

// The counters of one window, in the order of the core's table.
template <class Base, class Control>
class FakeCountingWindow : public FakeWindow<Base, Control> {
 public:
  FakeCountingWindow(std::string name, Log& log, std::size_t boxes)
      : FakeWindow<Base, Control>(std::move(name), log), counters(boxes) {}
  std::string CounterText(std::size_t box) const override { return counters.at(box); }
  void SetCounterText(std::size_t box, std::string_view text) override { counters.at(box) = std::string(text); }
  std::vector<std::string> counters;
};

class FakeStep1 : public FakeCountingWindow<Step1View, Step1Control> {
 public:
  explicit FakeStep1(Log& log) : FakeCountingWindow("step 1", log, tape::kTapeCounterBoxes.size()) {}
  void SetListItems(Step1Control list, std::span<const std::string> new_items, int selected) override {
    items[list].assign(new_items.begin(), new_items.end());
    Select(list, selected);
  }
  void SetIndicator(IndicatorColour colour) override { indicator = colour; }

  // What the user picks in a list.
  void Select(Step1Control list, int index) {
    const std::vector<std::string>& in = items[list];
    texts[list] = index >= 0 && static_cast<std::size_t>(index) < in.size() ? in[static_cast<std::size_t>(index)] : "";
  }
  std::map<Step1Control, std::vector<std::string>> items;
  IndicatorColour indicator = IndicatorColour::Green;  // until the presenter says
};

class FakeStep2 : public FakeCountingWindow<Step2View, Step2Control> {
 public:
  explicit FakeStep2(Log& log) : FakeCountingWindow("step 2", log, tape::kAuxCounterBoxes.size()) {}
};

class FakeStep3 : public FakeWindow<Step3View, Step3Control> {
 public:
  explicit FakeStep3(Log& log) : FakeWindow("step 3", log) {}
  void AppendLines(std::span<const std::string> new_lines) override {
    lines.insert(lines.end(), new_lines.begin(), new_lines.end());
  }
  std::vector<std::string> TapeLines() const override { return lines; }
  void SetGaugeRange(std::int32_t minimum, std::int32_t maximum) override { gauge_range = {minimum, maximum}; }
  void SetGaugeProgress(std::int32_t progress) override { gauge_progress.push_back(progress); }
  std::optional<SaveChoice> ChooseSaveFile(const SaveDialogSettings& settings) override {
    dialogs.push_back(settings);
    Write("save dialog");
    return choice;
  }

  std::vector<std::string> lines{""};  // the box starts as one empty line
  std::pair<std::int32_t, std::int32_t> gauge_range{-1, -1};
  std::vector<std::int32_t> gauge_progress;
  std::vector<SaveDialogSettings> dialogs;
  std::optional<SaveChoice> choice;  // what the user picks in the dialog
};

// Busy spells and repaints, counted; `on_responsive` plays whatever input
// the user gives while a long handler lets the toolkit run.
class FakeToolkit : public Toolkit {
 public:
  void UseDotAsDecimalSeparator() override { ++dot_separators; }
  void BeginBusy(std::function<void()> stop_asked) override {
    ++busy_begun;
    busy = true;
    stop = std::move(stop_asked);
  }
  void EndBusy() override {
    busy = false;
    stop = nullptr;
  }
  void KeepResponsive() override {
    ++responsive_calls;
    if (on_responsive) on_responsive();
  }
  // The busy filter met Escape or the close button.
  void PressEscape() {
    if (stop) stop();
  }
  // Unless a test holds it, time runs so fast that every redraw is due.
  std::chrono::steady_clock::time_point Now() const override {
    if (clock) return clock();
    ticks += wizard::kRedrawInterval;
    return std::chrono::steady_clock::time_point(ticks);
  }
  std::function<std::chrono::steady_clock::time_point()> clock;
  mutable std::chrono::steady_clock::duration ticks{};

  int dot_separators = 0;
  int busy_begun = 0;
  bool busy = false;
  int responsive_calls = 0;
  std::function<void()> stop;
  std::function<void()> on_responsive;
};

// A printer that sends `bytes` flash bytes a reply: a download of several
// exchanges.
inline sim::SimulatorOptions SmallChunks(std::size_t bytes = 50) {
  sim::SimulatorOptions options;
  options.chunk_size = bytes;
  return options;
}

// The three presenters over fake windows, talking to the simulated sample
// printer in the same process.
class FakeWizard {
 public:
  // `kept`: the folder of kept downloads (empty: none kept); `documents`:
  // where the first save opens (empty: the working directory).
  explicit FakeWizard(sim::SimulatorOptions options = {}, std::filesystem::path kept = {},
                      sim::PrinterModel model = sim::SamplePrinterModel(), std::string documents = {})
      : simulator(std::move(model), std::move(options)),
        link([this](const std::string& port, std::int32_t speed) -> serial::OpenedChannel {
          if (port != kPort) return nullptr;
          if (open_printer) return open_printer(speed);
          return sim::MakeInProcessChannel(simulator);
        }),
        steps({link, toolkit,
               [this] {
                 if (!ports_error.empty()) throw std::runtime_error(ports_error);
                 return ports;
               },
               std::move(kept), std::move(documents)},
              view1, view2, view3) {}

  static constexpr const char* kPort = "/dev/ttySIM0";

  // Step 1 shown and active, the simulator's port picked, connected.
  void Connect() {
    steps.Start();
    steps.step1.Activated();
    steps.step1.ConnectOrDisconnect();
  }
  void ReachStep3() {
    Connect();
    steps.step1.ReadTape();
    steps.step1.Next();
    steps.step2.ReadAux();
    steps.step2.Next();
  }

  Log log;
  FakeStep1 view1{log};
  FakeStep2 view2{log};
  FakeStep3 view3{log};
  FakeToolkit toolkit;
  std::vector<std::string> ports{kPort, "/dev/ttyS1"};
  std::string ports_error;  // set: listing the ports throws this
  sim::Simulator simulator;
  // How kPort reaches the simulator; unset, in-process.
  std::function<serial::OpenedChannel(std::int32_t speed)> open_printer;
  link::DeviceLink link;
  WizardSteps steps;
};

}  // namespace fjl::wizard::testing
