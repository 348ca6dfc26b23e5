#pragma once
// The tape model as one JSON document (UTF-8). Money is in hundredths,
// quantities in thousandths, percentages in hundredths of a percent: integers
// throughout, so no value passes through binary floating point.
// packaging/schema/tape.schema.json describes it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "tapedata/out_buffer.h"
#include "tapedata/tape_model.h"

namespace fjl::tapedata {

inline constexpr int kTapeJsonFormatVersion = 1;

struct ExportInfo {
  std::string program_version;
  std::string read_time;  // local time of the read, "YYYY-MM-DDThh:mm:ss"
};

// The JSON handed to `out` a part at a time, in order, as it is written: a
// full tape's 5 MB never has to be whole in memory. The parts are views
// into a buffer that is written again once `out` returns.
void WriteTapeJson(const TapeModel& model, const ExportInfo& info, const OutBuffer::Drain& out);
// The same JSON, whole.
std::string TapeJson(const TapeModel& model, const ExportInfo& info);

// This machine's local time now, "YYYY-MM-DDThh:mm:ss", as ExportInfo
// gives the time of the read.
std::string LocalReadTime();

// quantity (thousandths) times price (hundredths) in hundredths, when the
// product is a whole number of hundredths. The tape states no rounding rule
// for the rest, so none is guessed.
std::optional<std::int64_t> ItemAmount(const restore::ItemSold& item);

}  // namespace fjl::tapedata
