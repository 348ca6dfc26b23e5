#include "app/qt/guarded_application.h"

#include <cstdio>
#include <exception>

#include "wizard/guarded.h"

namespace fjl::app {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    if (messages_ != nullptr) {
      messages_->ShowError(error.what());
    } else {
      std::fprintf(stderr, "%s\n", error.what());
    }
  } catch (...) {
    if (messages_ != nullptr) {
      messages_->ShowError(wizard::kUnknownErrorText);
    } else {
      std::fprintf(stderr, "%s\n", wizard::kUnknownErrorText.data());
    }
  }
  return false;
}

}  // namespace fjl::app
