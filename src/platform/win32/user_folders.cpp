#include "platform/user_folders.h"

#include <windows.h>
#include <shlobj.h>

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

std::string UserDocumentsFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, folder))) return {};
  return Utf8FromWide(folder);
}

SystemFamily ThisSystem() { return SystemFamily::Windows; }

}  // namespace fjl::platform
