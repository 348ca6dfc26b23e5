// Saving on Windows: the text goes to a temporary file beside the target,
// is flushed to the disk, and then takes the target's name in one move that
// replaces an earlier file. Names are UTF-8 inside and wide at every call,
// so any character of the user's file name survives; '/' and '\' both
// separate folders.

#include <windows.h>

#include <string_view>

#include "output/save_text_file.h"
#include "platform/system_result.h"
#include "platform/win32/wide_text.h"

namespace fjl::output {
namespace {

std::string SystemMessage(DWORD error) { return platform::SystemErrorText(static_cast<int>(error)); }

// Where the folder part of `path` ends: after its last separator, 0 when
// there is none (a bare name, or a drive-relative "C:name").
std::size_t NameStart(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"/\\");
  if (separator != std::wstring::npos) return separator + 1;
  return path.size() >= 2 && path[1] == L':' ? 2 : 0;
}

// CON, PRN, AUX, NUL, COM1..COM9 and LPT1..LPT9, with or without an
// extension, are devices in every folder.
bool IsReservedDeviceName(std::wstring name) {
  const std::size_t dot = name.find(L'.');
  if (dot != std::wstring::npos) name.resize(dot);
  while (!name.empty() && (name.back() == L' ')) name.pop_back();
  for (wchar_t& c : name) c = static_cast<wchar_t>(::towupper(c));
  if (name == L"CON" || name == L"PRN" || name == L"AUX" || name == L"NUL") return true;
  return name.size() == 4 && (name.compare(0, 3, L"COM") == 0 || name.compare(0, 3, L"LPT") == 0) &&
         name[3] >= L'1' && name[3] <= L'9';
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

SaveResult SaveTextFile(const std::string& chosen_path, std::span<const std::string> lines) {
  const std::string bytes = FjlFileBytes(lines);
  const std::wstring path = platform::WideFromUtf8(chosen_path);
  const std::size_t name_start = NameStart(path);
  const std::wstring name = path.substr(name_start);
  if (name.empty()) return {false, SystemMessage(ERROR_DIRECTORY)};
  if (IsReservedDeviceName(name)) return {false, std::string(kNotARegularFile)};
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {false, SystemMessage(ERROR_DIRECTORY)};
    if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return {false, std::string(kNotARegularFile)};
  }

  // A hidden temporary name beside the target, unique by process and a
  // counter: MoveFileEx can then replace the target within one volume.
  const std::wstring folder = path.substr(0, name_start);
  std::wstring temp_path;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
    temp_path = folder + L"." + name + L"." + std::to_wstring(::GetCurrentProcessId()) + L"." +
                std::to_wstring(attempt) + L".tmp";
    file = ::CreateFileW(temp_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) return {false, SystemMessage(::GetLastError())};

  const auto fail = [&temp_path](DWORD error, HANDLE open_file) {
    if (open_file != INVALID_HANDLE_VALUE) ::CloseHandle(open_file);
    ::DeleteFileW(temp_path.c_str());
    return SaveResult{false, SystemMessage(error)};
  };
  if (!WriteAll(file, bytes)) return fail(::GetLastError(), file);
  if (!::FlushFileBuffers(file)) return fail(::GetLastError(), file);
  if (!::CloseHandle(file)) return fail(::GetLastError(), INVALID_HANDLE_VALUE);
  // The finished file takes the name only now; the hidden mark was for the
  // temporary name alone.
  ::SetFileAttributesW(temp_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!::MoveFileExW(temp_path.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return fail(::GetLastError(), INVALID_HANDLE_VALUE);
  }
  return {true, {}};
}

}  // namespace fjl::output
