#include "wizard/step2_presenter.h"


#include "tape/aux_download.h"
#include "tape/record_counters.h"
#include "wizard/guarded.h"
#include "wizard/keyboard.h"
#include "wizard/message_hints.h"
#include "wizard/step1_presenter.h"
#include "wizard/step3_presenter.h"
#include "wizard/step_messages.h"
#include "wizard/window_texts.h"

namespace fjl::wizard {

Step2Presenter::Step2Presenter(Step2View& view, Step1Presenter& step1)
    : view_(view), step1_(step1), downloads_(step1.Services().ui) {
  tape::RecordCounters(view_, tape::kAuxCounterBoxes).Reset();
  ShowAuxButtons(DownloadPhase::Ready);
}

void Step2Presenter::Open() {
  RunGuardedOver(view_, [this] {
    view_.ShowWindow();
    view_.SetFocus(kStep2MainButton);
  });
}

void Step2Presenter::ShowAuxButtons(DownloadPhase phase) {
  const AuxButtons buttons = AuxButtonsFor(phase);
  view_.SetEnabled(Step2Control::ReadAuxButton, buttons.read_aux);
  view_.SetEnabled(Step2Control::NextButton, buttons.next);
}

void Step2Presenter::ReadAux() {
  RunGuardedOver(view_, [this] {
    const std::string password = step1_.PasswordBytes();
    StepMessages<Step2Control> boxes(view_);
    HintedMessages messages(boxes, step1_.Services().device_link, step1_.LastResponse());
    DownloadHooks hooks = StepDownloadHooks(view_, [this](DownloadPhase phase) { ShowAuxButtons(phase); });
    hooks.link = &step1_.Services().device_link;
    KeptDownload& kept = step1_.Kept();
    link::DeviceLink& link = step1_.Services().device_link;
    const tape::DownloadOutcome outcome = downloads_.Run(hooks, view_, messages, [&](const DownloadSurface& on) {
      const std::optional<std::int64_t> from = kept.BeginAux(link, password, *aux_, on.messages);
      if (!from) return tape::DownloadOutcome::LinkError;
      tape::DownloadView& shown = kept.Watch(dump::DumpArea::Aux, *aux_, *from, on.boxes);
      const tape::DownloadOutcome result = tape::AuxDownload(
          password, *aux_, {link, step1_.LastResponse(), shown, on.counters, on.messages, &on.stop}, *from);
      kept.EndArea(tape::Succeeded(result));
      return result;
    });
    if (outcome == tape::DownloadOutcome::Cancelled) {
      messages.ShowMessage(StoppedMessage(kept.LastStored(), kReadAuxText, kept.Keeping()));
    }
    if (tape::Succeeded(outcome)) view_.SetFocus(Step2Control::NextButton);
    if (const std::optional<std::string> notice = step1_.TakeLogNotice()) {
      view_.SetText(Step2Control::StatusBox, *notice);
    }
  });
}

void Step2Presenter::Finish() {
  RunGuardedOver(view_, [this] {
    finishing_ = true;
    view_.ShowMessage(kMsgAppStopped);
    step1_.CloseWindow();
    view_.CloseWindow();
  });
}

void Step2Presenter::Next() {
  RunGuardedOver(view_, [this] {
    if (next_ == nullptr) return;
    view_.HideWindow();
    next_->Open();
  });
}

void Step2Presenter::CloseRequested() {
  if (downloads_.Running()) {
    downloads_.StopAsked();
  } else if (!finishing_) {
    Finish();
  }
}

void Step2Presenter::EscapePressed() { downloads_.StopAsked(); }

}  // namespace fjl::wizard
