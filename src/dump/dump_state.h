#pragma once
// How far the downloads into a dump folder got: written beside the images
// every few seconds and whenever a download stops, read back by a resume.
// It names the dump (an id every file of the folder carries or is tied to)
// and the printer, and holds a digest of each image's stored bytes, so a
// folder whose files were mixed, cut or damaged is refused rather than
// restored as if whole.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system_result.h"

namespace fjl::dump {

enum class DumpArea { Tape, Aux, Done };

struct AreaProgress {
  std::int64_t stored = 0;      // bytes of the area's image in its file
  std::int64_t last_chunk = 0;  // how many of them the last reply brought
  bool complete = false;        // the download of this area succeeded
  std::uint32_t digest = 0;     // CRC-32C of the `stored` bytes (0 for none)
  friend bool operator==(const AreaProgress&, const AreaProgress&) = default;
};

struct DumpState {
  std::string id;      // made when the dump is begun, kept by every resume
  std::string serial;  // the printer's serial number (UTF-8); empty: not known
  std::int32_t speed = 0;
  DumpArea area = DumpArea::Tape;  // the area being read, or Done
  AreaProgress tape;
  AreaProgress aux;
  friend bool operator==(const DumpState&, const DumpState&) = default;
};

// The state file's name in a dump folder.
inline constexpr const char* kStateFileName = "state.txt";

// A new dump's id: sixteen upper-case hexadecimal digits, random.
std::string NewDumpId();

// "key=value" lines, the next flash address of each area included for the
// reader's sake.
std::string FormatDumpState(const DumpState& state);

// A program failure saying what is wrong when a key is missing, a value is
// no number, the speed is none the port is driven at, or the figures do not
// fit together.
platform::Result<DumpState> ParseDumpState(std::string_view text);

}  // namespace fjl::dump
