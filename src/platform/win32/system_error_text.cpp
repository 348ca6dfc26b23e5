#include <windows.h>

#include <cstring>
#include <string>

#include "platform/system_result.h"
#include "platform/win32/wide_text.h"

namespace fjl::platform {

std::string SystemErrorText(int code) {
  wchar_t* buffer = nullptr;
  // The user's default language, as every other message of the system.
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&buffer), 0,
      nullptr);
  std::wstring message = length > 0 && buffer != nullptr ? std::wstring(buffer, length) : std::wstring();
  if (buffer != nullptr) ::LocalFree(buffer);
  // System messages end in CR LF (and some in a full stop and blanks after it).
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' ')) {
    message.pop_back();
  }
  if (message.empty()) return "Unknown error " + std::to_string(static_cast<unsigned long>(static_cast<DWORD>(code)));
  return Utf8FromWide(message);
}

std::string ErrnoText(int errno_code) {
  char buffer[256] = {};
  if (::strerror_s(buffer, sizeof buffer, errno_code) != 0 || buffer[0] == '\0') {
    return "Unknown error " + std::to_string(errno_code);
  }
  return buffer;
}

}  // namespace fjl::platform
