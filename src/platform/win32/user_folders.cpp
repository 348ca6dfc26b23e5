#include "platform/user_folders.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace fjl::platform {

std::string UserCacheFolder() {
  const DWORD length = ::GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
  if (length == 0) return {};
  std::vector<wchar_t> folder(length);
  const DWORD written = ::GetEnvironmentVariableW(L"LOCALAPPDATA", folder.data(), length);
  if (written == 0 || written >= length) return {};
  return Utf8FromWide(std::wstring_view(folder.data(), written));
}

}  // namespace fjl::platform
