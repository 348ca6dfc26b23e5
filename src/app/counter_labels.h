#pragma once
// Labels of the record counters of step 1 ("Типы записей") and step 2, with
// the columns step 1 sets them out in.

#include <array>
#include <string_view>

namespace fjl::app {

struct TapeCounterLabel {
  int record_type;
  std::string_view label;
};

// Record types 0..12 and 14..20; 13 has no counter. Read in this order, the
// first seven fill column 1, the next seven column 2, the last six column 3,
// which "Всего:" closes.
inline constexpr std::array<TapeCounterLabel, 20> kTapeCounterLabels{{
    {0, "Открытие чека:"},
    {1, "Закрытие чека:"},
    {2, "Печать итога:"},
    {3, "Частичная оплата:"},
    {4, "Оплата окончательная:"},
    {5, "Продажа товара::"},
    {6, "Процен. надбав-скидка:"},
    {7, "Стоим. надбав-скидка:"},
    {8, "Процен. надбав-скидка на сумму:"},
    {9, "Стоим. надбав-скидка на сумму:"},
    {10, "Процен. надбав-скидка по налогу:"},
    {11, "Стоим. надбав-скидка по налогу:"},
    {12, "Задание номера отдела:"},
    {14, "Аннулирование товара:"},
    {15, "Аннулирование чека:"},
    {16, "Служебное внесение, выдача:"},
    {17, "Коментарий (фиск. чек):"},
    {18, "Печать штрих-кода:"},
    {19, "Открытие произвольного документа:"},
    {20, "Закрытие произвольного документа:"},
}};

inline constexpr int kCountersPerColumn = 7;
inline constexpr int kHighestRecordType = 20;
inline constexpr std::string_view kTotalLabel = "Всего:";

// Step 2: auxiliary record kinds 0..3.
inline constexpr std::array<std::string_view, 4> kAuxCounterLabels{
    "Информация о параметрах товара:",
    "Запись об отделе:",
    "Запись об единице измерения:",
    "Комментарий:",
};

}  // namespace fjl::app
