#pragma once
// Where "Сохранить" asks for the file on Windows: the system's save dialog,
// set up as the wizard's save rules say (wizard/save_dialog.h).

#include <windows.h>

#include <optional>
#include <span>
#include <string>

#include "wizard/save_dialog.h"

namespace fjl::app::win32 {

// The modal dialog over `owner`; nullopt when the user cancels.
std::optional<wizard::SaveChoice> ChooseSaveFileByDialog(HWND owner, const wizard::SaveDialogSettings& settings);

// The dialog's filter list: description and pattern pairs, each ended by a
// zero, the list by a second one. A pattern written in parentheses, as
// "(*.*)" is, means what it encloses.
std::wstring DialogFilterList(std::span<const output::FileFilter> filters);

}  // namespace fjl::app::win32
