#include "app/qt/guarded_application.h"

#include <cstdio>
#include <string_view>

#include "wizard/guarded.h"

namespace fjl::app {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  wizard::RunGuarded([this](std::string_view error) { ShowError(error); },
                     [&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

void GuardedApplication::ShowError(std::string_view text) {
  if (messages_ != nullptr) {
    messages_->ShowError(text);
  } else {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  }
}

}  // namespace fjl::app
