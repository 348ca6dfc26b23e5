#include "platform/file_append.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace fjl::platform {
namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

SystemResult AppendToFile(const std::filesystem::path& path, std::string_view bytes) {
  AppendingFile file;
  if (SystemResult opened = file.Open(path, AppendingFile::Opening::Keep); !opened) return opened;
  if (SystemResult written = file.Write(bytes); !written) return written;
  return file.Close();
}

AppendingFile::~AppendingFile() {
  if (handle_ != -1) ::CloseHandle(Handle(handle_));
}

AppendingFile::AppendingFile(AppendingFile&& other) noexcept : handle_(std::exchange(other.handle_, -1)) {}

AppendingFile& AppendingFile::operator=(AppendingFile&& other) noexcept {
  if (this != &other) {
    if (handle_ != -1) ::CloseHandle(Handle(handle_));
    handle_ = std::exchange(other.handle_, -1);
  }
  return *this;
}

SystemResult AppendingFile::Open(const std::filesystem::path& path, Opening opening) {
  if (handle_ != -1) ::CloseHandle(Handle(std::exchange(handle_, -1)));
  // Shared as a file opened by the C library is: a viewer may hold the log
  // open. A handle with FILE_APPEND_DATA alone writes at the end whatever
  // the file pointer says; emptying the file needs the right to write all of it.
  const bool empty = opening == Opening::Empty;
  const HANDLE file =
      ::CreateFileW(path.c_str(), empty ? GENERIC_WRITE : FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    empty ? CREATE_ALWAYS : OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return static_cast<int>(::GetLastError());
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return 0;
}

SystemResult AppendingFile::Write(std::string_view bytes) {
  if (handle_ == -1) return static_cast<int>(ERROR_INVALID_HANDLE);
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 20));
    DWORD put = 0;
    if (!::WriteFile(Handle(handle_), bytes.data(), chunk, &put, nullptr) || put == 0) {
      const DWORD error = ::GetLastError();
      return static_cast<int>(error != 0 ? error : ERROR_WRITE_FAULT);
    }
    bytes.remove_prefix(put);
  }
  return 0;
}

SystemResult AppendingFile::Close() {
  if (handle_ == -1) return 0;
  if (!::CloseHandle(Handle(std::exchange(handle_, -1)))) return static_cast<int>(::GetLastError());
  return 0;
}

}  // namespace fjl::platform
