#pragma once
// Where the core reports to the user. The GUI shows modal boxes, the CLI
// writes to standard error, tests collect the texts.

#include <string_view>

namespace fjl {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // A plain message box: the text, one OK button, no icon. UTF-8.
  virtual void ShowMessage(std::string_view text) = 0;
  // The toolkit's standard error box, for errors no operation handled itself.
  virtual void ShowError(std::string_view text) = 0;
};

}  // namespace fjl
