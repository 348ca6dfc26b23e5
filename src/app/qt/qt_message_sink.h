#pragma once
// Messages as modal boxes: the plain ones with one OK button and no icon, the
// unhandled errors in the standard critical box.

#include "text/message_sink.h"

namespace fjl::app {

class QtMessageSink : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override;
  void ShowError(std::string_view text) override;
};

}  // namespace fjl::app
