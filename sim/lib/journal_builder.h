#pragma once
// Writes tape and auxiliary flash images from records named by their fields,
// so a test states "a sale of 1.500 at 19.99" instead of a run of hex.
//
//   std::uint32_t bread = 0, sale = 0;
//   Bytes aux = AuxBuilder().Item({.code = 4607001, .tax_group = 0, .department = 1,
//                                  .name = Cp1251("Хлеб")}).Tag(bread).End();
//   Bytes tape = TapeBuilder()
//                    .ReceiptOpen({.operator_index = 0, .pos_number = 1, .receipt_kind = 0})
//                    .ItemSale({.item_reference = bread, .quantity = 1000, .price = 2550}).Tag(sale)
//                    .ItemVoid({.start_reference = sale, .end_reference = ...})
//                    .End();
//
// Multi-byte integers are little-endian; date and time bytes are stored as
// given (BcdDateTime makes the printer's binary-coded decimal). Bytes that the
// record layouts leave unused are zero on the tape.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sim/lib/frames.h"

namespace fjl::sim {

// Flash windows of the two areas the host downloads with command 241.
inline constexpr std::uint32_t kTapeFlashBase = 268458935;  // 0x10005BB7
inline constexpr std::uint32_t kTapeFlashEnd = 0x10200000;
inline constexpr std::uint32_t kAuxFlashBase = 388693;  // 0x5EE55
inline constexpr std::uint32_t kAuxFlashEnd = 0x200000;

inline constexpr std::uint8_t kTapeEndMarker = 255;

enum TapeType : std::uint8_t {
  kReceiptOpen = 0,
  kReceiptClose = 1,
  kTotalPrint = 2,
  kPartialPayment = 3,
  kFinalPayment = 4,
  kItemSale = 5,
  kPercentAdjustment = 6,
  kAmountAdjustment = 7,
  kPercentSubtotalAdjustment = 8,
  kAmountSubtotalAdjustment = 9,
  kPercentTaxAdjustment = 10,
  kAmountTaxAdjustment = 11,
  kDepartmentSelect = 12,
  kItemVoid = 14,
  kReceiptVoid = 15,
  kCashInOut = 16,
  kFiscalComment = 17,
  kBarcodePrint = 18,
  kFreeDocumentOpen = 19,
  kFreeDocumentClose = 20,
};

// Whole record length of a tape type (type byte included); 0 for a type
// the printer never writes.
std::size_t TapeRecordSize(std::uint8_t type);

enum AuxType : std::uint8_t {
  kItemParameters = 0,
  kDepartmentRecord = 1,
  kUnitRecord = 2,
  kCommentRecord = 3,
  kAuxEnd = 255,
};

// Day, month, year, hour, minute exactly as the record stores them.
struct DateTime {
  std::array<std::uint8_t, 5> bytes{};
};

// Encodes decimal values as the printer's BCD bytes (25 -> 0x25).
DateTime BcdDateTime(int day, int month, int year, int hour, int minute);

// The Windows-1251 bytes of a UTF-8 text: record names and printer replies
// are Windows-1251.
std::string Cp1251(std::string_view utf8);

struct ReceiptOpenFields {
  std::uint8_t operator_index = 0;  // 0-based; the receipt shows index + 1
  std::uint8_t pos_number = 1;
  std::uint8_t receipt_kind = 0;  // 0 sale, anything else return
};

struct DocumentStamp {
  std::int32_t document_number = 0;
  DateTime when{};
};

struct ReceiptCloseFields {
  std::int32_t document_number = 0;
  DateTime when{};
  std::int16_t receipt_number = 0;
};

struct PartialPaymentFields {
  std::uint8_t payment_form = 0;
  std::int32_t amount = 0;  // hundredths
};

struct FinalPaymentFields {
  std::uint8_t payment_form = 0;
  std::int32_t amount = 0;
  std::int32_t change = 0;
};

struct ItemSaleFields {
  std::uint32_t item_reference = 0;  // 24-bit AuxImage index of the item's payload
  std::int32_t quantity = 0;         // thousandths
  std::int32_t price = 0;            // hundredths
};

struct PercentSubtotalFields {
  std::int16_t percent = 0;  // hundredths of a per cent; > 0 surcharge
  std::int32_t amount = 0;
};

struct PercentTaxFields {
  std::int16_t percent = 0;
  std::uint8_t tax_group = 0;
  std::int32_t taxable_amount = 0;
};

struct AmountTaxFields {
  std::int32_t amount = 0;
  std::uint8_t tax_group = 0;
};

// TapeImage indexes of the first record voided and of the record at which
// the copy ends, as four-byte fields at offsets 5 and 9.
struct ItemVoidFields {
  std::uint32_t start_reference = 0;
  std::uint32_t end_reference = 0;
};

struct CashInOutFields {
  std::int32_t document_number = 0;
  DateTime when{};
  std::uint8_t operator_index = 0;
  std::int32_t amount = 0;  // > 0 paid in, otherwise paid out
  std::uint64_t cash = 0;   // 48-bit cash in the drawer
};

class TapeBuilder {
 public:
  TapeBuilder& ReceiptOpen(const ReceiptOpenFields& f);
  TapeBuilder& ReceiptClose(const ReceiptCloseFields& f);
  TapeBuilder& TotalPrint();
  TapeBuilder& PartialPayment(const PartialPaymentFields& f);
  TapeBuilder& FinalPayment(const FinalPaymentFields& f);
  TapeBuilder& ItemSale(const ItemSaleFields& f);  // throws std::out_of_range past 24 bits
  TapeBuilder& PercentAdjustment(std::int16_t percent);
  TapeBuilder& AmountAdjustment(std::int32_t amount);
  TapeBuilder& PercentSubtotalAdjustment(const PercentSubtotalFields& f);
  TapeBuilder& AmountSubtotalAdjustment(std::int32_t amount);
  TapeBuilder& PercentTaxAdjustment(const PercentTaxFields& f);
  TapeBuilder& AmountTaxAdjustment(const AmountTaxFields& f);
  TapeBuilder& DepartmentSelect(std::uint8_t department);
  TapeBuilder& ItemVoid(const ItemVoidFields& f);
  TapeBuilder& ReceiptVoid(const DocumentStamp& f);
  TapeBuilder& CashInOut(const CashInOutFields& f);  // throws std::out_of_range past 48 bits
  TapeBuilder& FiscalComment(std::uint32_t comment_reference);
  // Up to 17 bytes of barcode data (the host decodes none of it).
  TapeBuilder& BarcodePrint(std::string_view data = {});
  TapeBuilder& FreeDocumentOpen();
  TapeBuilder& FreeDocumentClose(const DocumentStamp& f);
  // Bytes as they are: an undefined type, a cut record, noise.
  TapeBuilder& Raw(std::span<const std::uint8_t> bytes);

  // Stores the TapeImage index of the record just added.
  TapeBuilder& Tag(std::uint32_t& position);
  // Index the next record will take.
  std::uint32_t Here() const { return static_cast<std::uint32_t>(bytes_.size()); }

  // The records so far, without the end marker.
  const Bytes& Records() const { return bytes_; }
  // The records followed by the end marker 255.
  Bytes End() const;

 private:
  TapeBuilder& Add(Bytes record);

  Bytes bytes_;
  std::uint32_t last_ = 0;
};

struct AuxItem {
  std::uint64_t code = 0;  // 48-bit article code
  std::uint8_t tax_group = 0;
  std::uint8_t department = 0;
  std::string name;  // Windows-1251 bytes
};

// Auxiliary records: [0] whole length L, [1] type, [2..4] the record's
// ordinal (1-based, 24-bit), [5..L-3] payload, [L-2..L-1] 16-bit sum of
// bytes 0..L-3. The host reads only the length, type and payload.
class AuxBuilder {
 public:
  // Payload: code (6), tax group, department, one reserved byte, name.
  AuxBuilder& Item(const AuxItem& item);
  // Payload: department number, name.
  AuxBuilder& Department(std::uint8_t number, std::string_view name);
  // Payload: unit code, name.
  AuxBuilder& Unit(std::uint8_t code, std::string_view name);
  // Payload: the comment text.
  AuxBuilder& Comment(std::string_view text);
  // Any kind with any payload. Throws std::length_error when L exceeds 255.
  AuxBuilder& Record(std::uint8_t type, std::span<const std::uint8_t> payload);
  AuxBuilder& Raw(std::span<const std::uint8_t> bytes);

  // Stores the reference of the record just added: the AuxImage index of its
  // payload (byte 5), which is what tape records carry.
  AuxBuilder& Tag(std::uint32_t& reference);
  std::uint32_t LastReference() const { return last_reference_; }

  const Bytes& Records() const { return bytes_; }
  // The records followed by the end mark (bytes 0xFF 0xFF: erased flash).
  Bytes End() const;

 private:
  Bytes bytes_;
  std::uint32_t ordinal_ = 0;
  std::uint32_t last_reference_ = 0;
};

}  // namespace fjl::sim
