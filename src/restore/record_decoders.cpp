#include "restore/record_decoders.h"

#include <array>

#include "restore/number_text.h"

namespace fjl::restore {

RecordDecoder DecoderFor(std::uint8_t type) {
  static constexpr std::array<RecordDecoder, 21> kDecoders = {
      DecodeReceiptOpen,       // 0
      DecodeReceiptClose,      // 1
      DecodeTotalPrint,        // 2
      DecodePartialPayment,    // 3
      DecodeFinalPayment,      // 4
      DecodeItemSale,          // 5
      DecodeAdjustment,        // 6
      DecodeAdjustment,        // 7
      DecodeAdjustment,        // 8
      DecodeAdjustment,        // 9
      DecodeAdjustment,        // 10
      DecodeAdjustment,        // 11
      DecodeDepartmentSelect,  // 12
      nullptr,                 // 13 has no record of its own
      DecodeItemVoid,          // 14
      DecodeReceiptVoid,       // 15
      DecodeCashInOut,         // 16
      DecodeFiscalComment,     // 17
      DecodeBarcodePrint,      // 18
      DecodeFreeDocumentOpen,  // 19
      DecodeFreeDocumentClose  // 20
  };
  return type < kDecoders.size() ? kDecoders[type] : nullptr;
}

std::string StoredText(std::string_view bytes, std::size_t max_length) {
  bytes = bytes.substr(0, max_length);
  return std::string(bytes.substr(0, bytes.find('\0')));
}

DocumentStamp StampOf(const TapeRecord& record, std::size_t number_offset, std::size_t date_offset) {
  DocumentStamp stamp;
  stamp.number = I32(record, number_offset);
  for (std::size_t i = 0; i < stamp.when.size(); ++i) stamp.when[i] = U8(record, date_offset + i);
  return stamp;
}

std::int64_t PositionOf(const DecodedRecord& record) {
  return std::visit([](const auto& r) { return r.position; }, record);
}

std::string DocumentLine(const TapeRecord& record, std::size_t number_offset, std::size_t date_offset) {
  std::string line = "     Сквозной номер документа=" + Decimal(I32(record, number_offset)) + ", ";
  line += HexByte(U8(record, date_offset));
  line += '/';
  line += HexByte(U8(record, date_offset + 1));
  line += '/';
  line += HexByte(U8(record, date_offset + 2));
  line += "  ";
  line += HexByte(U8(record, date_offset + 3));
  line += ':';
  line += HexByte(U8(record, date_offset + 4));
  return line;
}

}  // namespace fjl::restore
