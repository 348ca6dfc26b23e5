#pragma once
// Before a download goes on after an interruption, proof that the printer
// still holds what the dump stored: a cleared tape, a tape rewritten or
// another unit with the same serial number must never be spliced onto the
// stored part. A handful of chunks is read again and compared byte for byte:
// the first, the last stored, and some spread between them.
//
// Eight reads an area: the tape is only ever appended to, so a cleared or a
// replaced tape differs from its first record on (its header, its dates),
// and the spread reads catch a replaced unit whose first records happen to
// match; an area of eight chunks or fewer is compared whole. Against the
// two thousand reads of a 200 kB tape they cost under one per cent.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/exchanger.h"
#include "tape/flash_image.h"

namespace fjl::dump {

inline constexpr int kCheckReadsPerArea = 8;

// The offsets (from the window's start) read again to check `length` stored
// bytes, the last at `length - chunk`: ascending, without repeats.
std::vector<std::int64_t> CheckOffsets(std::int64_t length, std::int64_t chunk);

struct StoredCheck {
  enum class Outcome {
    Same,      // every byte read again matches the stored one
    Changed,   // the printer holds other bytes (or fewer) at `address`
    NoAnswer,  // a read failed; `reason` says how
  };
  Outcome outcome = Outcome::Same;
  std::int64_t address = 0;
  std::string reason;
  int reads = 0;
};

// Reads the chunks at CheckOffsets(stored.size(), chunk) of `area` and
// compares them with `stored` (the image's first bytes).
StoredCheck CheckStoredBytes(link::Exchanger& printer, std::string_view password, const tape::FlashArea& area,
                             std::span<const std::uint8_t> stored, std::int64_t chunk);

}  // namespace fjl::dump
