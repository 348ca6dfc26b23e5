#pragma once
// Standard error as the CLI's message box and progress display. Every
// message the wizard would show in a box is one line here (a message with
// line feeds spans several), written in one go so that messages never
// interleave with anything else. On a terminal a progress line is redrawn
// in place with "\r" and finished with a newline before anything else is
// written.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "cli/catalogue.h"
#include "user/message_sink.h"

namespace fjl::cli {

// Writes all of its text, as one write where the system allows.
using TextWriter = std::function<void(std::string_view)>;

class Console : public MessageSink {
 public:
  // `terminal`: whether progress lines are drawn at all; `texts`: the
  // language of the CLI's own lines.
  Console(TextWriter write, bool terminal, const Catalogue& texts = Catalogue::English());

  void ShowMessage(std::string_view text) override;
  void ShowError(std::string_view text) override;
  // A line of the CLI's own (verbose details, notes).
  void Note(std::string_view text);

  // Replaces the progress line with `text` (ignored off a terminal).
  void Progress(std::string_view text);
  // Finishes the progress line with a newline, if one is shown.
  void EndProgress();

  bool Terminal() const { return terminal_; }
  const Catalogue& Texts() const { return texts_; }

 private:
  void WriteLine(std::string_view text);

  TextWriter write_;
  bool terminal_;
  const Catalogue& texts_;
  bool progress_shown_ = false;
  std::size_t progress_width_ = 0;  // characters of the progress line on screen
};

}  // namespace fjl::cli
