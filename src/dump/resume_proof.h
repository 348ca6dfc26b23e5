#pragma once
// Whether a kept download may go on with the printer connected now: the
// serial numbers must not differ, and the stored part must still be what
// the printer holds (see stored_check.h). Every front end shows the
// verdict in its own words.

#include <cstdint>
#include <string>
#include <string_view>

#include "dump/dump_state.h"
#include "link/exchanger.h"
#include "tape/flash_image.h"

namespace fjl::dump {

// Where each area of a kept download goes on: after its stored bytes; an
// area that was finished again at its last chunk, which holds the end of its
// records and the erased flash past them that the printer may have written
// since, so records added meanwhile are read as an uninterrupted run would.
// An auxiliary area begun before the tape was finished is read afresh.
struct ResumePoints {
  std::int64_t tape = 0;
  std::int64_t aux = 0;
};
ResumePoints ResumePointsOf(const DumpState& state);

struct ResumeProof {
  enum class Outcome {
    Proven,        // the stored part is the printer's: go on
    OtherPrinter,  // both serial numbers are known and differ
    Changed,       // the printer holds other bytes at `address` of `area`
    NoAnswer,      // a read of the check failed: `reason`
  };
  Outcome outcome = Outcome::Proven;
  DumpArea area = DumpArea::Tape;
  std::int64_t address = 0;
  std::string reason;
  // Either serial number was not known: the stored bytes decided alone.
  bool serial_unknown = false;
  bool Proven() const { return outcome == Outcome::Proven; }
};

// The printer's serial number (UTF-8), which names and ties a dump to it;
// empty when the printer does not give it.
std::string ReadSerialNumber(link::Exchanger& printer, std::string_view password);

// `serial`: the printer's serial number as read now (empty: not known).
ResumeProof ProveKeptDownload(link::Exchanger& printer, std::string_view password, std::string_view serial,
                              const DumpState& state, const tape::TapeImage& tape, const tape::AuxImage& aux);

}  // namespace fjl::dump
