#include "wizard/save_dialog.h"

#include <filesystem>
#include <iterator>
#include <system_error>

namespace fjl::wizard {

SaveDialogSettings CurrentSaveDialogSettings() {
  SaveDialogSettings settings;
  settings.title = std::string(output::kSaveDialogTitle);
  std::error_code error;
  const std::u8string folder = std::filesystem::current_path(error).u8string();
  settings.initial_folder.assign(folder.begin(), folder.end());
  settings.filters.assign(std::begin(output::kSaveDialogFilters), std::end(output::kSaveDialogFilters));
  settings.default_extension = std::string(output::kDefaultExtension);
  settings.confirm_overwrite = false;
  return settings;
}

std::string PathToSave(const SaveChoice& choice) {
  if (choice.filter != kFjlFilterIndex) return choice.path;
  return output::WithDefaultExtension(choice.path);
}

}  // namespace fjl::wizard
