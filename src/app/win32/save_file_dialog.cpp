#include "app/win32/save_file_dialog.h"

#include <commdlg.h>

#include <string_view>

#include "app/win32/wide_text.h"

namespace fjl::app::win32 {

std::wstring DialogFilterList(std::span<const output::FileFilter> filters) {
  std::wstring list;
  for (const output::FileFilter& filter : filters) {
    std::string_view pattern = filter.pattern;
    if (pattern.size() >= 2 && pattern.front() == '(' && pattern.back() == ')') {
      pattern = pattern.substr(1, pattern.size() - 2);
    }
    list += Wide(filter.description);
    list += L'\0';
    list += Wide(pattern);
    list += L'\0';
  }
  list += L'\0';
  return list;
}

std::optional<wizard::SaveChoice> ChooseSaveFileByDialog(HWND owner, const wizard::SaveDialogSettings& settings) {
  const std::wstring filters = DialogFilterList(settings.filters);
  const std::wstring title = Wide(settings.title);
  const std::wstring folder = Wide(settings.initial_folder);
  // The proposed name, in a buffer the dialog writes the chosen one into.
  std::wstring name = Wide(settings.file_name);
  name.resize(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(wizard::kFjlFilterIndex + 1);
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  // No extension from the dialog: the wizard adds ".FJL" itself, and only
  // while the FJL filter is chosen.
  dialog.lpstrDefExt = nullptr;
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                 (settings.confirm_overwrite ? OFN_OVERWRITEPROMPT : 0);
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  name.resize(wcslen(name.c_str()));
  if (name.empty()) return std::nullopt;
  return wizard::SaveChoice{Utf8(name), dialog.nFilterIndex == 0 ? wizard::kFjlFilterIndex : dialog.nFilterIndex - 1};
}

}  // namespace fjl::app::win32
