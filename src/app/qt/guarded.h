#pragma once
// Qt does not let an exception cross its event loop, so every handler that a
// button or an event runs goes through RunGuarded: an error nobody handled is
// shown in the standard error box and the handler simply ends, leaving the
// window as the handler left it.

#include <exception>
#include <functional>
#include <utility>

#include "text/message_sink.h"

class QAbstractButton;
class QObject;

namespace fjl::app {

inline constexpr const char* kUnknownErrorText = "Неизвестная ошибка";

template <typename Handler>
void RunGuarded(MessageSink& messages, Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (const std::exception& error) {
    messages.ShowError(error.what());
  } catch (...) {
    messages.ShowError(kUnknownErrorText);
  }
}

// Runs `handler` under RunGuarded whenever `button` is clicked.
void ConnectGuarded(QAbstractButton* button, QObject* context, MessageSink& messages,
                    std::function<void()> handler);

}  // namespace fjl::app
