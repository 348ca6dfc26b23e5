#include "platform/file_append.h"

#include <windows.h>

#include <algorithm>

namespace fjl::platform {

SystemResult AppendToFile(const std::filesystem::path& path, std::string_view bytes) {
  // Shared as a file opened by the C library is: a viewer may hold the log open.
  const HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return static_cast<int>(GetLastError());
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1U << 20));
    DWORD put = 0;
    if (!WriteFile(file, bytes.data() + done, chunk, &put, nullptr) || put == 0) {
      const DWORD error = GetLastError();
      CloseHandle(file);
      return static_cast<int>(error != 0 ? error : ERROR_WRITE_FAULT);
    }
    done += put;
  }
  if (!CloseHandle(file)) return static_cast<int>(GetLastError());
  return 0;
}

}  // namespace fjl::platform
