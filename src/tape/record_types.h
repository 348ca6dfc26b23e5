#pragma once
// The tape's record types in one table: each type's whole length, the label
// of its counter in step 1 and where that counter sits among the three
// columns. The length table both walks go by, the counter boxes and the
// restoration's decoders are all derived from it, so a new type is one row
// here and one decoder.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace fjl::tape {

enum class TapeRecordType : std::uint8_t {
  ReceiptOpen = 0,
  ReceiptClose = 1,
  TotalPrint = 2,
  PartialPayment = 3,
  FinalPayment = 4,
  ItemSale = 5,
  PercentAdjustment = 6,
  AmountAdjustment = 7,
  PercentSubtotalAdjustment = 8,
  AmountSubtotalAdjustment = 9,
  PercentTaxAdjustment = 10,
  AmountTaxAdjustment = 11,
  DepartmentSelect = 12,
  ItemVoid = 14,
  ReceiptVoid = 15,
  CashInOut = 16,
  FiscalComment = 17,
  BarcodePrint = 18,
  FreeDocumentOpen = 19,
  FreeDocumentClose = 20,
  TapeEnd = 255,
};

// The type byte that ends the tape; its table entry is 255 as well.
inline constexpr std::uint8_t kTapeEndMarker = static_cast<std::uint8_t>(TapeRecordType::TapeEnd);

// A counter's place in the "Типы записей" group, counted from 0.
struct CounterPlace {
  std::uint8_t column;
  std::uint8_t row;
};

struct TapeRecordTypeInfo {
  TapeRecordType type;
  std::uint8_t length;             // whole record, type byte included
  std::string_view counter_label;  // UTF-8, exactly as the window shows it
  CounterPlace place;
};

inline constexpr auto kTapeRecordTypes = std::to_array<TapeRecordTypeInfo>({
    {TapeRecordType::ReceiptOpen, 4, "Открытие чека:", {0, 0}},
    {TapeRecordType::ReceiptClose, 14, "Закрытие чека:", {0, 1}},
    {TapeRecordType::TotalPrint, 1, "Печать итога:", {0, 2}},
    {TapeRecordType::PartialPayment, 6, "Частичная оплата:", {0, 3}},
    {TapeRecordType::FinalPayment, 10, "Оплата окончательная:", {0, 4}},
    {TapeRecordType::ItemSale, 12, "Продажа товара::", {0, 5}},
    {TapeRecordType::PercentAdjustment, 3, "Процен. надбав-скидка:", {0, 6}},
    {TapeRecordType::AmountAdjustment, 5, "Стоим. надбав-скидка:", {1, 0}},
    {TapeRecordType::PercentSubtotalAdjustment, 7, "Процен. надбав-скидка на сумму:", {1, 1}},
    {TapeRecordType::AmountSubtotalAdjustment, 5, "Стоим. надбав-скидка на сумму:", {1, 2}},
    {TapeRecordType::PercentTaxAdjustment, 8, "Процен. надбав-скидка по налогу:", {1, 3}},
    {TapeRecordType::AmountTaxAdjustment, 6, "Стоим. надбав-скидка по налогу:", {1, 4}},
    {TapeRecordType::DepartmentSelect, 2, "Задание номера отдела:", {1, 5}},
    {TapeRecordType::ItemVoid, 13, "Аннулирование товара:", {1, 6}},
    {TapeRecordType::ReceiptVoid, 24, "Аннулирование чека:", {2, 0}},
    {TapeRecordType::CashInOut, 23, "Служебное внесение, выдача:", {2, 1}},
    {TapeRecordType::FiscalComment, 5, "Коментарий (фиск. чек):", {2, 2}},
    {TapeRecordType::BarcodePrint, 18, "Печать штрих-кода:", {2, 3}},
    {TapeRecordType::FreeDocumentOpen, 1, "Открытие произвольного документа:", {2, 4}},
    {TapeRecordType::FreeDocumentClose, 10, "Закрытие произвольного документа:", {2, 5}},
});

constexpr std::uint8_t TypeCode(TapeRecordType type) { return static_cast<std::uint8_t>(type); }

// The highest code the table lists: a table indexed by type code needs this
// many entries and one more.
inline constexpr std::uint8_t kHighestRecordType = [] {
  std::uint8_t highest = 0;
  for (const TapeRecordTypeInfo& info : kTapeRecordTypes) highest = std::max(highest, TypeCode(info.type));
  return highest;
}();

namespace detail {
constexpr std::array<std::uint8_t, 256> MakeRecordLengthTable() {
  std::array<std::uint8_t, 256> table{};  // a type the table does not list has no length
  for (const TapeRecordTypeInfo& info : kTapeRecordTypes) table[TypeCode(info.type)] = info.length;
  table[kTapeEndMarker] = 255;
  return table;
}

constexpr bool EachTypeOnceWithALength() {
  std::array<bool, 256> seen{};
  for (const TapeRecordTypeInfo& info : kTapeRecordTypes) {
    const std::uint8_t code = TypeCode(info.type);
    // A zero length would stall both walks; 255 would read as the end marker.
    if (seen[code] || code == kTapeEndMarker || info.length == 0 || info.length == 255) return false;
    seen[code] = true;
  }
  return true;
}
static_assert(EachTypeOnceWithALength(), "a record type is listed twice, or without a usable length");
}  // namespace detail

// Whole record length by type byte, type byte included: the listed length for
// a defined type, 255 for the end marker, 0 for a type that has no length.
inline constexpr std::array<std::uint8_t, 256> RecordLengthTable = detail::MakeRecordLengthTable();

constexpr std::uint8_t RecordLength(std::uint8_t type) { return RecordLengthTable[type]; }

}  // namespace fjl::tape
