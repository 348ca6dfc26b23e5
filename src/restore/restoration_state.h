#pragma once
// What the step 3 window keeps between restoration runs.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fjl::restore {

// A name read from the printer for an operator or a payment form number.
struct NameEntry {
  std::int32_t Number = -1;
  std::string Name;  // UTF-8
};

// Where a restored record begins in the text: its title line is the line just
// before FirstDetailLine.
struct RecordLine {
  std::int64_t TapePosition = 0;    // index of the record's type byte in the tape image
  std::size_t FirstDetailLine = 0;  // index (in the whole text) of the line after its title
};

struct RestorationState {
  // The printer is asked for a name once per number and run. The tables have
  // no fixed room: a tape can name any number of operators and hold far more
  // records than any fixed table would.
  std::vector<NameEntry> Operators;
  std::vector<NameEntry> Payment;
  std::vector<RecordLine> RecordLineTable;  // this run's records; its size is the record line count
  // Kind of the last receipt opened: 0 = sale, anything else = return. Kept
  // across runs on purpose, like the window it lives in.
  std::int32_t CurrentReceiptKind = 0;
  bool RestoreFinished = false;
  // What this run had to leave out while still completing: the letters of
  // the tax groups whose rates could not be read, and whether the port
  // went away during the run. A caller that must not pass off an
  // incomplete tape as complete looks here.
  std::vector<std::string> TaxGroupsNotRead;
  bool LineLost = false;
};

}  // namespace fjl::restore
