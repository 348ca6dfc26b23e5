#pragma once
// Reading article parameters and comment texts out of the auxiliary image,
// for the restoration. Tape records refer to an auxiliary record by the
// index of its payload, which is the record's byte 5; the length byte sits
// five places before it.
//
// Record layout: byte 0 length L (the whole record), byte 1 kind, bytes 2..4
// and L-2, L-1 unused here, bytes 5..L-3 payload.
//
// Every accessor reads only inside the image and inside the record its
// length byte announces. A reference before the image start, a record
// running past the image end, or a length too short for the layout gives
// nullopt; the restoration decides what the tape line then says. The kind
// byte is handed back, not checked: whether a reference that lands on
// another kind of record is usable is the restoration's call too.

#include <cstdint>
#include <optional>
#include <string>

#include "tape/flash_image.h"

namespace fjl::tape {

enum class AuxRecordType : std::uint8_t {
  ItemParameters = 0,
  DepartmentRecord = 1,
  UnitRecord = 2,
  CommentRecord = 3,
  AuxEnd = 255,
};

inline constexpr std::int64_t kAuxPayloadOffset = 5;

struct ItemParameters {
  std::uint8_t Kind = 0;        // byte 1; 0 for a genuine article record
  std::uint64_t Code = 0;       // bytes 5..10, 48 bits, least significant first
  std::uint8_t TaxGroup = 0;    // byte 11, 0..4 shown as А..Д
  std::uint8_t Department = 0;  // byte 12
  std::string Name;             // bytes 14..L-3 (L-16 bytes), raw Windows-1251
};

struct CommentRecord {
  std::uint8_t Kind = 0;  // byte 1; 3 for a genuine comment record
  std::string Text;       // bytes 5..L-3 (L-7 bytes), raw Windows-1251
};

// The article record whose payload starts at `payload_index`; its length must be at least 16.
std::optional<ItemParameters> ItemAt(const AuxImage& image, std::int64_t payload_index);

// The comment record whose payload starts at `payload_index`; its length must be at least 7.
std::optional<CommentRecord> CommentAt(const AuxImage& image, std::int64_t payload_index);

}  // namespace fjl::tape
