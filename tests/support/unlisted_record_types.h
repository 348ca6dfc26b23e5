#pragma once
// Record type codes the type table gives no length, taken from the table so
// that a new type does not turn a test of unknown types into a test of it:
// the lowest gap among the listed codes, the first code after the highest,
// and the last code before the end marker.

#include <cstdint>
#include <vector>

#include "tape/record_types.h"

namespace fjl::testing {

inline std::vector<std::uint8_t> UnlistedRecordTypes() {
  const int highest = tape::kHighestRecordType;
  std::vector<std::uint8_t> types;
  for (int type = 0; type < highest; ++type) {
    if (tape::RecordLength(static_cast<std::uint8_t>(type)) == 0) {
      types.push_back(static_cast<std::uint8_t>(type));
      break;
    }
  }
  types.push_back(static_cast<std::uint8_t>(highest + 1));
  types.push_back(tape::kTapeEndMarker - 1);
  return types;
}

}  // namespace fjl::testing
