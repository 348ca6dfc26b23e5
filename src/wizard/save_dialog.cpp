#include "wizard/save_dialog.h"

#include <filesystem>
#include <iterator>
#include <system_error>

namespace fjl::wizard {

SaveDialogSettings CurrentSaveDialogSettings() {
  SaveDialogSettings settings;
  settings.Title = std::string(output::kSaveDialogTitle);
  std::error_code error;
  const std::u8string folder = std::filesystem::current_path(error).u8string();
  settings.InitialFolder.assign(folder.begin(), folder.end());
  settings.Filters.assign(std::begin(output::kSaveDialogFilters), std::end(output::kSaveDialogFilters));
  settings.DefaultExtension = std::string(output::kDefaultExtension);
  settings.ConfirmOverwrite = false;
  return settings;
}

std::string PathToSave(const SaveChoice& choice) {
  if (choice.Filter != kFjlFilterIndex) return choice.Path;
  return output::WithDefaultExtension(choice.Path);
}

}  // namespace fjl::wizard
