#pragma once
// Tape and auxiliary byte strings written as lists of records.

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "tape/record_types.h"

namespace fjl::tape::testing {

// Tape records of the given types, in order; payload bytes are 0x11 so that
// no payload byte looks like an end marker.
inline std::vector<std::uint8_t> TapeRecords(std::initializer_list<std::uint8_t> types) {
  std::vector<std::uint8_t> bytes;
  for (std::uint8_t type : types) {
    bytes.push_back(type);
    for (int i = 1; i < RecordLength(type) && type != kTapeEndMarker; ++i) bytes.push_back(0x11);
  }
  return bytes;
}

struct AuxRecordFields {
  std::uint8_t Length;
  std::uint8_t Kind;
};

// Auxiliary records with the given lengths and kinds; other bytes are 0x22.
inline std::vector<std::uint8_t> AuxRecords(std::initializer_list<AuxRecordFields> records) {
  std::vector<std::uint8_t> bytes;
  for (const auto& r : records) {
    bytes.push_back(r.Length);
    bytes.push_back(r.Kind);
    for (int i = 2; i < r.Length; ++i) bytes.push_back(0x22);
  }
  return bytes;
}

inline void Append(std::vector<std::uint8_t>& to, const std::vector<std::uint8_t>& more) {
  to.insert(to.end(), more.begin(), more.end());
}

}  // namespace fjl::tape::testing
