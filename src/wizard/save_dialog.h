#pragma once
// What "Сохранить" asks the save dialog for, and the name it saves under.
// Paths are the system's narrow names: UTF-8 on Windows, the file system's
// bytes elsewhere.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "output/save_dialog.h"

namespace fjl::wizard {

struct SaveDialogSettings {
  std::string title;
  std::string initial_folder;
  // The name the dialog proposes in that folder.
  std::string file_name;
  // Description and pattern of each filter; the first one is selected.
  std::vector<output::FileFilter> filters;
  // As the dialog is given it ("*.FJL"); FjlFilterIndex says when it applies.
  std::string default_extension;
  bool confirm_overwrite = false;
};

// The filter under which a name typed without an extension gets ".FJL".
inline constexpr std::size_t kFjlFilterIndex = 0;
// The filters of the tape as data, after the two of the FJL file.
inline constexpr std::size_t kJsonFilterIndex = 2;
inline constexpr std::size_t kCsvFilterIndex = 3;

// The settings of one save: the dialog opens in `folder` and proposes
// `file_name` there.
SaveDialogSettings SaveDialogSettingsFor(std::string folder, std::string file_name);

// The name proposed for a tape: the printer's serial number and the day,
// "AB12345678_2026-12-08.FJL". Only letters, digits and '-' of the serial
// number are kept, so whatever the printer sends makes a plain file name;
// without any, the name is the day alone.
std::string ProposedFileName(std::string_view serial, int year, int month, int day);

// What the user picked: the name as typed or clicked, with no extension added
// by the dialog, and the filter chosen when the dialog closed.
struct SaveChoice {
  std::string path;
  std::size_t filter = kFjlFilterIndex;
};

// The file to write: while the FJL filter is chosen, ".FJL" is added to a
// name that does not already end in it (in any case), so "лента 08.12"
// is not saved without it and hidden by the filter; under "Все файлы
// (*.*)" the name is kept. Under the JSON and CSV filters a name not ending
// in ".json" or ".csv" (any case) gets it.
std::string PathToSave(const SaveChoice& choice);

// Whether the filter chosen saves the tape as data (JSON or CSV).
bool SavesData(const SaveChoice& choice);

// The three tables saved under the CSV filter: "day.csv" gives
// "day_documents.csv", "day_items.csv" and "day_payments.csv" beside it.
struct CsvPaths {
  std::string documents;
  std::string items;
  std::string payments;
};
CsvPaths CsvPathsFor(const std::string& path);

}  // namespace fjl::wizard
