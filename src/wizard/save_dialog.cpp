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
  settings.filters.insert(settings.filters.end(), std::begin(output::kDataFilters), std::end(output::kDataFilters));
  settings.default_extension = std::string(output::kDefaultExtension);
  settings.confirm_overwrite = false;
  return settings;
}

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  if (text.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char c = text[text.size() - tail.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
}

// The data filters' extension goes on whatever the name ends in (a tape's
// name often holds a date with dots), and takes the place of ".FJL": the
// name proposed for the tape is kept when the filter is changed.
std::string WithDataExtension(const std::string& path, std::string_view extension) {
  if (EndsWithNoCase(path, extension)) return path;
  std::string completed = path;
  if (EndsWithNoCase(completed, ".fjl")) completed.resize(completed.size() - 4);
  if (!completed.empty() && completed.back() == '.') completed.pop_back();
  completed += extension;
  return completed;
}

}  // namespace

bool SavesData(const SaveChoice& choice) {
  return choice.filter == kJsonFilterIndex || choice.filter == kCsvFilterIndex;
}

CsvPaths CsvPathsFor(const std::string& path) {
  std::string stem = path;
  if (EndsWithNoCase(stem, ".csv")) stem.resize(stem.size() - 4);
  return {stem + "_documents.csv", stem + "_items.csv", stem + "_payments.csv"};
}

std::string PathToSave(const SaveChoice& choice) {
  if (choice.filter == kJsonFilterIndex) return WithDataExtension(choice.path, ".json");
  if (choice.filter == kCsvFilterIndex) return WithDataExtension(choice.path, ".csv");
  if (choice.filter != kFjlFilterIndex) return choice.path;
  return output::WithDefaultExtension(choice.path);
}

}  // namespace fjl::wizard
