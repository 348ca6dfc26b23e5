#pragma once
// Misbehaviour on request. A rule picks the requests it applies to (one
// command or all, every Nth of them, at most `limit` times) and says what
// goes wrong with the reply.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fjl::sim {

enum class FaultKind {
  Silence,         // no reply at all
  Nak,             // a lone NAK instead of the reply
  BadChecksum,     // last checksum character off by one
  SynBefore,       // `count` SYN bytes, `gap` apart, before the reply
  SynInside,       // `count` SYN bytes inserted at frame offset `at`
  ErrorCode,       // the reply carries error `code` and no data
  CutFrame,        // the frame stops after `at` bytes; ETX follows when `etx`
  MalformedFrame,  // the EOT separator replaced by '*'
  Garbage,         // `count` noise bytes before the reply (after it when `after`)
  EmptyData,       // no data part
  OneField,        // only the first field
  ThirtyFields,    // the data is "1;2;...;30;"
  LowerCaseHex,    // the second field in lower case
  CountNotNumber,  // the first field replaced by `text`
  CountOverHex,    // the second field keeps only its first half (or drops `count` bytes)
  Delay,           // the reply waits `gap` first
  HangUp,          // the line closes (after the reply when `after`)
  Stale,           // the previous reply's frame again, before this reply
  WrongSeq,        // a copy of the reply under the next SEQ, before it
  WrongCommand,    // a copy of the reply under another command code, before it
  NoiseStream,     // `count` noise bytes, `gap` apart, before the reply; every
                   // `soh`th of them begins a frame that never ends
};

struct FaultRule {
  FaultKind kind = FaultKind::Silence;
  int command = -1;  // -1: any command
  int every = 1;     // fires on the Nth, 2Nth, ... matching request
  int limit = -1;    // at most this many times; -1 without end

  int count = -1;  // SYN count, noise length, bytes dropped; -1 the kind's default
                   // (frames of another request still come when silence fires)
  int at = -1;     // frame offset for SynInside and CutFrame; -1 half the frame
  bool etx = false;
  bool after = false;
  std::chrono::milliseconds gap{0};
  int soh = 0;  // NoiseStream: 0 for noise that never looks like a frame
  std::string code = "0001";  // ErrorCode
  std::string text = "abc";   // CountNotNumber

  // Bookkeeping of the running printer.
  int matched = 0;
  int fired = 0;

  // Counts one request against the rule; true when the fault applies to it.
  bool Fires(int request_command);
};

// Parses "kind[:key=value,...]", e.g. "silence:cmd=241,limit=1",
// "syn-before:count=120,gap=50", "error:code=0106,cmd=0x42", "nak:every=3".
// Throws std::invalid_argument with a readable reason.
FaultRule ParseFaultRule(std::string_view rule_text);

// The kinds and keys ParseFaultRule understands, for --help.
std::string FaultRuleHelp();

}  // namespace fjl::sim
