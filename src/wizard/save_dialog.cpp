#include "wizard/save_dialog.h"

#include <cstdio>
#include <iterator>

namespace fjl::wizard {
namespace {

bool IsNameCharacter(char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-';
}

bool EndsInFjl(std::string_view path) {
  if (path.size() < 4) return false;
  const std::string_view end = path.substr(path.size() - 4);
  return end[0] == '.' && (end[1] | 0x20) == 'f' && (end[2] | 0x20) == 'j' && (end[3] | 0x20) == 'l';
}

}  // namespace

SaveDialogSettings SaveDialogSettingsFor(std::string folder, std::string file_name) {
  SaveDialogSettings settings;
  settings.title = std::string(output::kSaveDialogTitle);
  settings.initial_folder = std::move(folder);
  settings.file_name = std::move(file_name);
  settings.filters.assign(std::begin(output::kSaveDialogFilters), std::end(output::kSaveDialogFilters));
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

std::string PathToSave(const SaveChoice& choice) {
  if (choice.filter != kFjlFilterIndex || EndsInFjl(choice.path)) return choice.path;
  // A name that is only a folder's ("/tmp/") keeps failing as the folder.
  if (choice.path.empty() || choice.path.back() == '/' || choice.path.back() == '\\') return choice.path;
  std::string path = choice.path;
  // "day." gets "FJL", not ".FJL": the dot the user typed is the extension's.
  if (path.back() != '.') path += '.';
  return path + "FJL";
}

}  // namespace fjl::wizard
