#pragma once
// Settings of the dialog in which the user picks where to save the restored tape.

#include <string>
#include <string_view>

namespace fjl::output {

inline constexpr std::string_view kSaveDialogTitle = "Сохранить контрольную ленту в файл";

struct FileFilter {
  std::string_view description;
  std::string_view pattern;
};

// The first entry is the one selected.
inline constexpr FileFilter kSaveDialogFilters[] = {
    {"Файл контрольной ленты (*.FJL)", "*.FJL"},
    {"Все файлы (*.*)", "(*.*)"},
};

inline constexpr std::string_view kDefaultExtension = "*.FJL";

// Offered after the two filters above: the tape as data. Saving under one
// of them writes the restoration's records, not the text box.
inline constexpr FileFilter kDataFilters[] = {
    {"Данные ленты JSON (*.json)", "*.json"},
    {"Таблицы CSV: документы, товары, оплаты (*.csv)", "*.csv"},
};

}  // namespace fjl::output
