#pragma once
// Modal boxes over a step window, titled with its caption: the plain
// messages with one OK button and no icon, the unhandled errors in the
// standard critical box, and the yes/no questions.

#include <string_view>

#include "user/message_sink.h"

class QWidget;

namespace fjl::app {

// The step windows show their boxes through this; the tests record them.
class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // `owner` is the step window the box belongs to; null for none.
  virtual void ShowMessage(QWidget* owner, std::string_view text) = 0;
  virtual void ShowError(QWidget* owner, std::string_view text) = 0;
  // True for "yes". "No" is the default button and what Escape answers.
  virtual bool AskYesNo(QWidget* owner, std::string_view text) = 0;
};

class QtMessageBoxes : public MessageBoxes {
 public:
  void ShowMessage(QWidget* owner, std::string_view text) override;
  void ShowError(QWidget* owner, std::string_view text) override;
  bool AskYesNo(QWidget* owner, std::string_view text) override;
};

// Errors that escape every handler (GuardedApplication) come over whichever
// window is active.
class QtMessageSink : public MessageSink {
 public:
  explicit QtMessageSink(MessageBoxes& boxes) : boxes_(boxes) {}
  void ShowMessage(std::string_view text) override;
  void ShowError(std::string_view text) override;

 private:
  MessageBoxes& boxes_;
};

}  // namespace fjl::app
