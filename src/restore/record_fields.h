#pragma once
// Little-endian fields of one tape record. The driver hands every decoder
// exactly its record's bytes, so a field read never leaves the record.

#include <cstddef>
#include <cstdint>
#include <span>

namespace fjl::restore {

struct TapeRecord {
  std::int64_t position = 0;            // index of the type byte in the tape image
  std::span<const std::uint8_t> bytes;  // the whole record, type byte included
};

inline std::uint8_t U8(const TapeRecord& r, std::size_t offset) { return r.bytes[offset]; }

inline std::uint64_t UnsignedLE(const TapeRecord& r, std::size_t offset, std::size_t width) {
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;) value = (value << 8) | r.bytes[offset + i];
  return value;
}

inline std::int16_t I16(const TapeRecord& r, std::size_t offset) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(UnsignedLE(r, offset, 2)));
}
inline std::int32_t I32(const TapeRecord& r, std::size_t offset) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(UnsignedLE(r, offset, 4)));
}
inline std::uint32_t U32(const TapeRecord& r, std::size_t offset) {
  return static_cast<std::uint32_t>(UnsignedLE(r, offset, 4));
}

}  // namespace fjl::restore
