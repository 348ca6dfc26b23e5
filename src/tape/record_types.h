#pragma once
// Tape record types and the one length table both the download and the
// restoration walk by.

#include <array>
#include <cstdint>

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
inline constexpr std::uint8_t kTapeEndMarker = 255;

namespace detail {
constexpr std::array<std::uint8_t, 256> MakeRecordLengthTable() {
  std::array<std::uint8_t, 256> table{};  // undefined types stay 0
  constexpr std::uint8_t kDefined[] = {4, 14, 1, 6, 10, 12, 3, 5, 7, 5, 8, 6, 2};  // types 0..12
  for (std::size_t type = 0; type < std::size(kDefined); ++type) table[type] = kDefined[type];
  table[14] = 13;
  table[15] = 24;
  table[16] = 23;
  table[17] = 5;
  table[18] = 18;
  table[19] = 1;
  table[20] = 10;
  table[kTapeEndMarker] = 255;
  return table;
}
}  // namespace detail

// Whole record length by type byte, type byte included: 1..24 for a defined
// type, 255 for the end marker, 0 for a type that has no length (13, 21..254).
inline constexpr std::array<std::uint8_t, 256> RecordLengthTable = detail::MakeRecordLengthTable();

constexpr std::uint8_t RecordLength(std::uint8_t type) { return RecordLengthTable[type]; }

}  // namespace fjl::tape
