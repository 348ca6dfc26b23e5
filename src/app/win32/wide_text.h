#pragma once
// The wizard's texts are UTF-8; the W functions of Windows take UTF-16. The
// conversions are the platform's, under the names the windows use.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/win32/wide_text.h"

namespace fjl::app::win32 {

inline std::wstring Wide(std::string_view utf8) { return platform::WideFromUtf8(utf8); }
inline std::string Utf8(std::wstring_view wide) { return platform::Utf8FromWide(wide); }

inline std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

}  // namespace fjl::app::win32
