#include "cli/win32/console_writer.h"

#include <windows.h>

#include "platform/win32/wide_text.h"

namespace fjl::cli {

namespace {

// Console writes are kept well below the console's buffer limits.
constexpr std::size_t kConsoleChunk = 8192;

}  // namespace

bool IsConsole(unsigned long which) {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(which), &mode) != FALSE;
}

TextWriter StandardHandleWriter(unsigned long which) {
  return [which](std::string_view text) {
    HANDLE handle = ::GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
    DWORD mode = 0;
    if (::GetConsoleMode(handle, &mode)) {
      std::wstring_view wide_left;
      const std::wstring wide = platform::WideFromUtf8(text);
      wide_left = wide;
      while (!wide_left.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min(wide_left.size(), kConsoleChunk));
        DWORD written = 0;
        // Nowhere left to report a failing console to.
        if (!::WriteConsoleW(handle, wide_left.data(), chunk, &written, nullptr) || written == 0) return;
        wide_left.remove_prefix(written);
      }
      return;
    }
    while (!text.empty()) {
      const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 0x40000000u));
      DWORD written = 0;
      if (!::WriteFile(handle, text.data(), chunk, &written, nullptr) || written == 0) return;
      text.remove_prefix(written);
    }
  };
}

}  // namespace fjl::cli
