#include <windows.h>

#include <cstring>
#include <string>

#include "platform/system_error_decoding.h"
#include "platform/system_result.h"
#include "platform/win32/wide_text.h"

namespace fjl::platform {
namespace {

constexpr DWORD kDiskQuotaExceeded = 1295;  // ERROR_DISK_QUOTA_EXCEEDED, missing from older headers

ErrorKind KindOfSystemCode(DWORD code) {
  switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ErrorKind::NoSpace;
    case kDiskQuotaExceeded: return ErrorKind::QuotaExceeded;
    case ERROR_WRITE_PROTECT: return ErrorKind::ReadOnlyDisk;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return ErrorKind::NoPermission;
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return ErrorKind::NameTooLong;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ErrorKind::NotFound;
    case ERROR_DIRECTORY: return ErrorKind::IsAFolder;
    case ERROR_CANT_RESOLVE_FILENAME: return ErrorKind::LinkLoop;
    case ERROR_BUSY: return ErrorKind::Busy;
    case ERROR_DEV_NOT_EXIST:
    case ERROR_DEVICE_NOT_CONNECTED: return ErrorKind::NoDevice;
    case ERROR_INVALID_PARAMETER: return ErrorKind::InvalidArgument;
    case ERROR_CANCELLED: return ErrorKind::Cancelled;
    default: return ErrorKind::Other;
  }
}

std::string RuntimeErrorText(int errno_code) {
  char buffer[256] = {};
  if (::strerror_s(buffer, sizeof buffer, errno_code) != 0 || buffer[0] == '\0') {
    return "Unknown error " + std::to_string(errno_code);
  }
  return buffer;
}

}  // namespace

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

namespace decoding {

std::string MessageOf(int code, ErrorNumbering numbering) {
  return numbering == ErrorNumbering::System ? SystemErrorText(code) : RuntimeErrorText(code);
}

ErrorKind KindOf(int code, ErrorNumbering numbering) {
  return numbering == ErrorNumbering::System ? KindOfSystemCode(static_cast<DWORD>(code)) : KindOfErrno(code);
}

}  // namespace decoding
}  // namespace fjl::platform
