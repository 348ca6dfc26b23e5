#include "restore/record_decoders.h"

#include <array>
#include <utility>

#include "restore/number_text.h"

namespace fjl::restore {

namespace {

template <std::size_t... Index>
constexpr std::array<RecordDecoder, 256> MakeDecoderTable(std::index_sequence<Index...>) {
  std::array<RecordDecoder, 256> table{};
  ((table[tape::TypeCode(tape::kTapeRecordTypes[Index].type)] = &DecodeRecord<tape::kTapeRecordTypes[Index].type>),
   ...);
  return table;
}

constexpr std::array<RecordDecoder, 256> kDecoders =
    MakeDecoderTable(std::make_index_sequence<tape::kTapeRecordTypes.size()>{});

}  // namespace

RecordDecoder DecoderFor(std::uint8_t type) { return kDecoders[type]; }

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
