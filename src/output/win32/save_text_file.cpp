// Saving on Windows: the text goes to a temporary file beside the target,
// is flushed to the disk, and then takes the target's name in one move that
// replaces an earlier file. Names are UTF-8 inside and wide at every call,
// so any character of the user's file name survives; '/' and '\' both
// separate folders.

#include <windows.h>

#include <functional>
#include <string_view>

#include "output/save_text_file.h"
#include "output/written_in_blocks.h"
#include "platform/device_name.h"
#include "platform/win32/wide_text.h"

namespace fjl::output {
namespace {

// The text goes out in blocks, with a look at the stop request between them.
constexpr std::size_t kBlockBytes = 64 * 1024;

using platform::SystemResult;

SystemResult Failure(DWORD error) { return static_cast<int>(error); }
SystemResult LastFailure() { return Failure(::GetLastError()); }

// Where the folder part of `path` ends: after its last separator, 0 when
// there is none (a bare name, or a drive-relative "C:name").
std::size_t NameStart(const std::wstring& path) {
  const std::size_t separator = path.find_last_of(L"/\\");
  if (separator != std::wstring::npos) return separator + 1;
  return path.size() >= 2 && path[1] == L':' ? 2 : 0;
}

// The refusals a save makes before it writes anything: what a shell's ">"
// would refuse.
SystemResult Refusal(const std::wstring& path) {
  const SystemResult not_a_file = SystemResult::Program(std::string(kNotARegularFile));
  const std::wstring name = path.substr(NameStart(path));
  if (name.empty()) return Failure(ERROR_DIRECTORY);
  if (platform::IsWindowsDeviceName(platform::Utf8FromWide(name))) return not_a_file;
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    // A name not there yet is what a save makes.
    return error == ERROR_FILE_NOT_FOUND ? SystemResult() : Failure(error);
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return Failure(ERROR_DIRECTORY);
  if ((attributes & FILE_ATTRIBUTE_DEVICE) != 0) return not_a_file;
  // The move would replace a read-only file unasked.
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return Failure(ERROR_ACCESS_DENIED);
  return {};
}

// A hidden temporary name beside the target, unique by process and a
// counter, so MoveFileEx replaces the target within one volume. Null handle
// with the system's error when none can be made.
HANDLE MakeTemporary(const std::wstring& path, std::wstring& temp_path) {
  const std::size_t name_start = NameStart(path);
  const std::wstring folder = path.substr(0, name_start);
  const std::wstring name = path.substr(name_start);
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    temp_path = folder + L"." + name + L"." + std::to_wstring(::GetCurrentProcessId()) + L"." +
                std::to_wstring(attempt) + L".tmp";
    HANDLE file = ::CreateFileW(temp_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

bool WriteBlock(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return false;
    if (written == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

SystemResult SaveProduced(const std::wstring& path, const std::function<void(const PartWriter&)>& produce,
                          const StopSignal* stop) {
  if (SystemResult refused = Refusal(path); !refused) return refused;

  std::wstring temp_path;
  HANDLE file = MakeTemporary(path, temp_path);
  if (file == INVALID_HANDLE_VALUE) return LastFailure();
  const auto give_up = [&temp_path, &file](SystemResult why) {
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    ::DeleteFileW(temp_path.c_str());
    return why;
  };
  // A stop is the user's: the temporary file goes, the earlier file stays.
  const SystemResult stopped = Failure(ERROR_CANCELLED);

  const SystemResult written = WriteInBlocks(produce, kBlockBytes, stop, stopped, [file](std::string_view block) {
    return WriteBlock(file, block) ? SystemResult() : LastFailure();
  });
  if (!written) return give_up(written);
  if (!::FlushFileBuffers(file)) return give_up(LastFailure());
  const BOOL closed = ::CloseHandle(file);
  file = INVALID_HANDLE_VALUE;
  if (!closed) return give_up(LastFailure());
  if (StopRequested(stop)) return give_up(stopped);
  // The finished file takes the name only now; the hidden mark was for the
  // temporary name alone.
  ::SetFileAttributesW(temp_path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!::MoveFileExW(temp_path.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return give_up(LastFailure());
  }
  return {};
}

}  // namespace

// Links are a rarity on Windows and CreateFile follows them by itself: the
// name is the target.
platform::Result<std::string> SaveTarget(const std::string& path) {
  return path;
}

SystemResult CheckSaveTarget(const std::string& chosen_path) {
  const std::wstring path = platform::WideFromUtf8(chosen_path);
  if (SystemResult refused = Refusal(path); !refused) return refused.About(chosen_path);
  std::wstring temp_path;
  HANDLE file = MakeTemporary(path, temp_path);
  if (file == INVALID_HANDLE_VALUE) return LastFailure().About(chosen_path);
  ::CloseHandle(file);
  ::DeleteFileW(temp_path.c_str());
  return {};
}

SystemResult SaveTextFile(const std::string& chosen_path, std::span<const std::string> lines, const StopSignal* stop) {
  return SaveFileBytes(chosen_path, FjlFileBytes(lines), stop);
}

SystemResult SaveFileBytes(const std::string& chosen_path, std::string_view bytes, const StopSignal* stop) {
  return SaveFileWritten(
      chosen_path, [bytes](const PartWriter& write) { write(bytes); }, stop);
}

SystemResult SaveFileWritten(const std::string& chosen_path, const std::function<void(const PartWriter&)>& produce,
                             const StopSignal* stop) {
  const SystemResult saved = SaveProduced(platform::WideFromUtf8(chosen_path), produce, stop);
  return saved ? saved : saved.About(chosen_path);
}

}  // namespace fjl::output
