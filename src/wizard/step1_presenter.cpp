#include "wizard/step1_presenter.h"


#include <algorithm>
#include <charconv>
#include <clocale>
#include <utility>

#include "tape/record_counters.h"
#include "tape/tape_download.h"
#include "text/cp1251.h"
#include "wizard/guarded.h"
#include "wizard/keyboard.h"
#include "wizard/message_hints.h"
#include "wizard/step2_presenter.h"
#include "wizard/step_messages.h"
#include "wizard/window_texts.h"

namespace fjl::wizard {
namespace {

std::vector<std::string> SpeedItems() { return {kSpeedItems.begin(), kSpeedItems.end()}; }

// The speed list's text as an integer: its leading digits, 0 when there are none.
std::int32_t SpeedOf(std::string_view text) {
  std::int32_t speed = 0;
  std::from_chars(text.data(), text.data() + text.size(), speed);
  return speed;
}

int IndexOf(const std::vector<std::string>& items, const std::string& item) {
  const auto found = std::find(items.begin(), items.end(), item);
  return found == items.end() ? -1 : static_cast<int>(found - items.begin());
}

}  // namespace

Step1Presenter::Step1Presenter(Step1View& view, const WizardServices& services)
    : view_(view), services_(services), downloads_(services.ui), kept_(services.kept_downloads) {
  const std::vector<std::string> speeds = SpeedItems();
  view_.SetListItems(Step1Control::SpeedList, speeds, kDefaultSpeedIndex);
  view_.SetText(Step1Control::PasswordBox, kDefaultPassword);
  tape::RecordCounters(view_, tape::kTapeCounterBoxes).Reset();
  ShowConnected(false);
  view_.SetEnabled(Step1Control::NextButton, false);
  // The status box is where the user watches the link, so the notice waits
  // there (or in the step that ran the exchange) until the action ends: a
  // download's next reply would overwrite it at once.
  services_.device_link.SetLogFailureHandler(
      [this](const platform::SystemResult& why) { log_notice_ = std::string(kMsgLogIncomplete) + why.UserText(); });
}

Step1Presenter::~Step1Presenter() { services_.device_link.SetLogFailureHandler({}); }

std::optional<std::string> Step1Presenter::TakeLogNotice() { return std::exchange(log_notice_, std::nullopt); }

void Step1Presenter::ShowLogNotice() {
  if (const std::optional<std::string> notice = TakeLogNotice()) view_.SetText(Step1Control::StatusBox, *notice);
}

void Step1Presenter::Open() {
  RunGuardedOver(view_, [this] {
    view_.ShowWindow();
    view_.SetFocus(kStep1MainButton);
  });
}

void Step1Presenter::Activated() {
  RunGuardedOver(view_, [this] {
    std::setlocale(LC_NUMERIC, "C");
    services_.ui.UseDotAsDecimalSeparator();
    ShowLists();
  });
}

// Disconnected, the lists are refilled and reset on every activation. While
// connected they keep showing the port and speed in use: every message box
// activates the window again when it closes, and a list showing another port
// than the open one would mislead whoever reads it.
void Step1Presenter::ShowLists() {
  const std::vector<std::string> speeds = SpeedItems();
  if (Connected()) {
    view_.SetListItems(Step1Control::PortList, port_items_, IndexOf(port_items_, connected_port_));
    view_.SetListItems(Step1Control::SpeedList, speeds, IndexOf(speeds, connected_speed_));
    return;
  }
  port_items_.clear();
  port_items_ = services_.list_ports();
  view_.SetListItems(Step1Control::PortList, port_items_, port_items_.empty() ? -1 : 0);
  view_.SetListItems(Step1Control::SpeedList, speeds, kDefaultSpeedIndex);
}

void Step1Presenter::ConnectOrDisconnect() {
  RunGuardedOver(view_, [this] {
    if (Connected()) {
      Disconnect();
    } else {
      Connect();
    }
    ShowLogNotice();
  });
}

void Step1Presenter::Connect() {
  const std::string speed_text = view_.Text(Step1Control::SpeedList);
  const std::string port = view_.Text(Step1Control::PortList);
  if (services_.device_link.OpenLink(port, SpeedOf(speed_text)) == -1) {
    view_.ShowMessage(CannotConnectMessage(services_.device_link.OpenFailure()));
    return;
  }
  connected_port_ = port;
  connected_speed_ = speed_text;
  if (IndexOf(port_items_, port) < 0) port_items_.push_back(port);
  ShowConnected(true);
  // Connected, the next thing to do is to read.
  view_.SetFocus(Step1Control::ReadTapeButton);
}

// The link lets go of the port whatever closing answers (a port the line
// took away and a reopening could not bring back, a close the system
// refused), so the window follows the link: "Отключить" never stays dead,
// and the lists are there to pick the port again.
void Step1Presenter::Disconnect() {
  services_.device_link.CloseLink();
  ShowConnected(services_.device_link.IsOpen());
}

void Step1Presenter::ShowConnected(bool connected) {
  indicator_ = connected ? IndicatorColour::Green : IndicatorColour::Red;
  view_.SetIndicator(indicator_);
  view_.SetText(Step1Control::ConnectButton, connected ? kDisconnectText : kConnectText);
  view_.SetEnabled(Step1Control::PortList, !connected);
  view_.SetEnabled(Step1Control::SpeedList, !connected);
  view_.SetEnabled(Step1Control::ReadTapeButton, connected);
}

void Step1Presenter::ShowTapeButtons(DownloadPhase phase) {
  const TapeButtons buttons = TapeButtonsFor(phase);
  view_.SetEnabled(Step1Control::ReadTapeButton, buttons.read_tape);
  view_.SetEnabled(Step1Control::ConnectButton, buttons.connect);
  view_.SetEnabled(Step1Control::NextButton, buttons.next);
}

std::string Step1Presenter::PasswordBytes() const {
  return text::Utf8ToCp1251(view_.Text(Step1Control::PasswordBox));
}

void Step1Presenter::ReadTape() {
  RunGuardedOver(view_, [this] {
    const std::string password = PasswordBytes();
    StepMessages<Step1Control> boxes(view_);
    HintedMessages messages(boxes, services_.device_link, last_response_);
    DownloadHooks hooks = StepDownloadHooks(view_, [this](DownloadPhase phase) { ShowTapeButtons(phase); });
    hooks.link = &services_.device_link;
    // The auxiliary area kept with the tape is checked with it and loaded
    // where step 2 reads it.
    const auto scratch = next_ == nullptr ? std::make_unique<tape::AuxImage>() : nullptr;
    tape::AuxImage& aux = next_ == nullptr ? *scratch : next_->Aux();
    const tape::DownloadOutcome outcome = downloads_.Run(hooks, view_, messages, [&](const DownloadSurface& on) {
      const std::optional<std::int64_t> from = kept_.BeginTape(services_.device_link, password,
                                                               SpeedOf(connected_speed_), tape_->Image, aux, on.messages);
      if (!from) return tape::DownloadOutcome::LinkError;
      tape::DownloadView& shown = kept_.Watch(dump::DumpArea::Tape, tape_->Image, *from, on.boxes);
      const tape::DownloadOutcome result = tape::TapeDownload(
          password, *tape_, {services_.device_link, last_response_, shown, on.counters, on.messages, &on.stop}, *from);
      kept_.EndArea(tape::Succeeded(result));
      return result;
    });
    if (outcome == tape::DownloadOutcome::Cancelled) {
      messages.ShowMessage(StoppedMessage(kept_.LastStored(), kReadTapeText, kept_.Keeping()));
    }
    // The read button the focus was on is disabled now; a focus left to
    // wander could land on "Завершить", one key press from losing the tape.
    if (tape::Succeeded(outcome)) view_.SetFocus(Step1Control::NextButton);
    ShowLogNotice();
  });
}

void Step1Presenter::Finish() {
  RunGuardedOver(view_, [this] {
    finishing_ = true;
    view_.ShowMessage(kMsgAppStopped);
    view_.CloseWindow();
  });
}

void Step1Presenter::Next() {
  RunGuardedOver(view_, [this] {
    if (next_ == nullptr) return;
    view_.HideWindow();
    next_->Open();
  });
}

void Step1Presenter::CloseRequested() {
  if (downloads_.Running()) {
    downloads_.StopAsked();
  } else if (!finishing_) {
    Finish();
  }
}

void Step1Presenter::EscapePressed() { downloads_.StopAsked(); }

}  // namespace fjl::wizard
