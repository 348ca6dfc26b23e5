#pragma once
// The core reports through a MessageSink; in the wizard its messages go to
// the boxes of the step window whose handler runs.

#include <string_view>

#include "user/message_sink.h"
#include "wizard/step_view.h"

namespace fjl::wizard {

template <class Control>
class StepMessages final : public MessageSink {
 public:
  explicit StepMessages(StepView<Control>& view) : view_(view) {}
  void ShowMessage(std::string_view text) override { view_.ShowMessage(text); }
  void ShowError(std::string_view text) override { view_.ShowError(text); }

 private:
  StepView<Control>& view_;
};

}  // namespace fjl::wizard
