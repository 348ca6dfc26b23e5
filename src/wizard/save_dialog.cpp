#include "wizard/save_dialog.h"

#include <cstdio>
#include <iterator>

namespace fjl::wizard {
namespace {

bool IsNameCharacter(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  if (text.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    char c = text[text.size() - tail.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
}

}  // namespace

SaveDialogSettings SaveDialogSettingsFor(std::string folder, std::string file_name) {
  SaveDialogSettings settings;
  settings.title = std::string(output::kSaveDialogTitle);
  settings.initial_folder = std::move(folder);
  settings.file_name = std::move(file_name);
  settings.filters.assign(std::begin(output::kSaveDialogFilters), std::end(output::kSaveDialogFilters));
  settings.filters.insert(settings.filters.end(), std::begin(output::kDataFilters), std::end(output::kDataFilters));
  settings.default_extension = std::string(output::kDefaultExtension);
  settings.confirm_overwrite = false;
  return settings;
}

std::string ProposedFileName(std::string_view serial, int year, int month, int day) {
  std::string name;
  for (const char c : serial) {
    if (IsNameCharacter(c)) name += c;
  }
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
  if (!name.empty()) name += '_';
  return name + date + ".FJL";
}

namespace {

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
  if (choice.filter != kFjlFilterIndex || EndsWithNoCase(choice.path, ".fjl")) return choice.path;
  // A name that is only a folder's ("/tmp/") keeps failing as the folder.
  if (choice.path.empty() || choice.path.back() == '/' || choice.path.back() == '\\') return choice.path;
  std::string path = choice.path;
  // "day." gets "FJL", not ".FJL": the dot the user typed is the extension's.
  if (path.back() != '.') path += '.';
  return path + "FJL";
}

}  // namespace fjl::wizard
