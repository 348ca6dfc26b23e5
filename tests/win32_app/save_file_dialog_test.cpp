// What the Windows save dialog is given: the wizard's filters, each pattern
// as the system reads it.

#include <gtest/gtest.h>

#include <string>

#include "app/win32/save_file_dialog.h"

namespace fjl::app::win32 {
namespace {

TEST(SaveFileDialog, TheFiltersAreTheWizardsWithBarePatterns) {
  const wizard::SaveDialogSettings settings = wizard::SaveDialogSettingsFor("C:\\Лента", "07104512_2026-12-08.FJL");
  using namespace std::string_literals;
  // "(*.*)" is given as "*.*": the system would take the parentheses for
  // part of the names to match, and list nothing.
  EXPECT_EQ(DialogFilterList(settings.filters),
            L"Файл контрольной ленты (*.FJL)\0*.FJL\0"
            L"Все файлы (*.*)\0*.*\0"
            L"Данные ленты JSON (*.json)\0*.json\0"
            L"Таблицы CSV: документы, товары, оплаты (*.csv)\0*.csv\0\0"s);
}

}  // namespace
}  // namespace fjl::app::win32
