// The CLI's checks of its output files on Windows, with wide names and both
// separators.

#include "cli/output_checks.h"

#include <windows.h>

#include "platform/system_result.h"
#include "platform/win32/wide_text.h"

namespace fjl::cli {
namespace {

std::string Why(const std::string& what, DWORD error) {
  return what + ": " + platform::SystemErrorText(static_cast<int>(error));
}

bool EndsInSeparator(const std::string& path) { return !path.empty() && (path.back() == '/' || path.back() == '\\'); }

// The folder part of a path, "." for a bare name.
std::string Folder(const std::string& path) {
  const std::size_t separator = path.find_last_of("/\\");
  if (separator == std::string::npos) {
    return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) + "." : ".";
  }
  // "C:\" and "\" keep their separator: they name a root.
  if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
  return path.substr(0, separator);
}

std::wstring InFolder(const std::string& folder, const std::wstring& name) {
  std::wstring path = platform::WideFromUtf8(folder);
  if (!path.empty() && path.back() != L'/' && path.back() != L'\\') path += L'\\';
  return path + name;
}

// Attributes say little (a read-only share, an ACL): the one true test is
// to make a file there and take it away again.
std::string CheckFolderTakesFiles(const std::string& folder) {
  const DWORD attributes = ::GetFileAttributesW(platform::WideFromUtf8(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Why(folder, ::GetLastError());
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return folder + ": not a folder";
  const std::wstring probe = InFolder(folder, L".fjl-write-test." + std::to_wstring(::GetCurrentProcessId()));
  HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Why(folder, ::GetLastError());
  ::CloseHandle(file);
  return {};
}

}  // namespace

std::string CheckOutputFile(const std::string& path) {
  if (path.empty() || EndsInSeparator(path)) return path + ": names a folder, not a file";
  const DWORD attributes = ::GetFileAttributesW(platform::WideFromUtf8(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return path + ": names a folder, not a file";
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return path + ": not a regular file";
  }
  return CheckFolderTakesFiles(Folder(path));
}

std::string CheckLogFile(const std::string& path) {
  if (path.empty() || EndsInSeparator(path)) return path + ": names a folder, not a file";
  HANDLE file = ::CreateFileW(platform::WideFromUtf8(path).c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  if (file == INVALID_HANDLE_VALUE) return Why(path, ::GetLastError());
  ::CloseHandle(file);
  return {};
}

std::string PrepareDumpFolder(const std::string& folder) {
  if (!::CreateDirectoryW(platform::WideFromUtf8(folder).c_str(), nullptr) &&
      ::GetLastError() != ERROR_ALREADY_EXISTS) {
    return Why(folder, ::GetLastError());
  }
  return CheckFolderTakesFiles(folder);
}

std::string WriteDumpFile(const std::string& folder, const std::string& name,
                          std::span<const std::uint8_t> bytes) {
  const std::wstring wide_name = platform::WideFromUtf8(name);
  const std::wstring path = InFolder(folder, wide_name);
  const std::wstring temp = InFolder(folder, L"." + wide_name + L"." + std::to_wstring(::GetCurrentProcessId()));
  const std::string shown = folder + "/" + name;
  HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Why(shown, ::GetLastError());
  const auto fail = [&](DWORD error, bool open) {
    if (open) ::CloseHandle(file);
    ::DeleteFileW(temp.c_str());
    return Why(shown, error);
  };
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 0x40000000u));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return fail(::GetLastError(), true);
    if (written == 0) return fail(ERROR_WRITE_FAULT, true);
    bytes = bytes.subspan(written);
  }
  if (!::FlushFileBuffers(file)) return fail(::GetLastError(), true);
  if (!::CloseHandle(file)) return fail(::GetLastError(), false);
  if (!::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return fail(::GetLastError(), false);
  }
  return {};
}

}  // namespace fjl::cli
