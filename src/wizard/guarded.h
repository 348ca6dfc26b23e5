#pragma once
// An error that a handler does not handle itself is shown in the toolkit's
// standard error box, and the handler simply ends, leaving the window as the
// handler left it: no exception crosses a toolkit's event loop.

#include <exception>
#include <string_view>
#include <utility>

namespace fjl::wizard {

inline constexpr std::string_view kUnknownErrorText = "Неизвестная ошибка";

// `show_error` takes the error's text (UTF-8).
template <typename ShowError, typename Handler>
void RunGuarded(ShowError&& show_error, Handler&& handler) {
  try {
    std::forward<Handler>(handler)();
  } catch (const std::exception& error) {
    show_error(std::string_view(error.what()));
  } catch (...) {
    show_error(kUnknownErrorText);
  }
}

// A step's handler: what escapes it goes to the error box over the step's
// window (any view with ShowError).
template <typename View, typename Handler>
void RunGuardedOver(View& view, Handler&& handler) {
  RunGuarded([&view](std::string_view error) { view.ShowError(error); }, std::forward<Handler>(handler));
}

}  // namespace fjl::wizard
