#pragma once
// The program's QApplication: an exception thrown by any event handler (a
// paint, an activation, a slot not wrapped by RunGuarded) ends up in the
// standard error box instead of terminating the program.

#include <QApplication>

#include "user/message_sink.h"

namespace fjl::app {

class GuardedApplication : public QApplication {
  Q_OBJECT
 public:
  GuardedApplication(int& argc, char** argv);
  void SetMessages(MessageSink* messages) { messages_ = messages; }
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  MessageSink* messages_ = nullptr;
};

}  // namespace fjl::app
