#pragma once
// The program's QApplication: an exception thrown by any event handler (a
// paint, an activation, a slot not wrapped by RunGuarded) ends up in the
// standard error box instead of terminating the program.

#include <QApplication>
#include <string_view>

#include "user/message_sink.h"

namespace fjl::app {

class GuardedApplication : public QApplication {
  Q_OBJECT
 public:
  GuardedApplication(int& argc, char** argv);
  void SetMessages(MessageSink* messages) { messages_ = messages; }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  // Over the active window, or on standard error before there is any.
  void ShowError(std::string_view text);

  MessageSink* messages_ = nullptr;
};

}  // namespace fjl::app
