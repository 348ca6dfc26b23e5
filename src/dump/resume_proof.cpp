#include "dump/resume_proof.h"

#include <span>

#include "dump/stored_check.h"
#include "link/read_commands.h"
#include "text/cp1251.h"

namespace fjl::dump {
namespace {

std::int64_t ResumePoint(const AreaProgress& progress) {
  return progress.complete ? progress.stored - progress.last_chunk : progress.stored;
}

}  // namespace

std::string ReadSerialNumber(link::Exchanger& printer, std::string_view password) {
  const link::DeviceResponse& reply = link::GetSerialNumber(printer, password);
  return reply.ErrorCode == "0000" && !reply.NoReply() ? text::Cp1251ToUtf8(reply.Field(0)) : "";
}

ResumePoints ResumePointsOf(const DumpState& state) {
  return {ResumePoint(state.tape), state.tape.complete ? ResumePoint(state.aux) : 0};
}

ResumeProof ProveKeptDownload(link::Exchanger& printer, std::string_view password, std::string_view serial,
                              const DumpState& state, const tape::TapeImage& tape, const tape::AuxImage& aux) {
  ResumeProof proof;
  proof.serial_unknown = serial.empty() || state.serial.empty();
  if (!proof.serial_unknown && serial != state.serial) {
    proof.outcome = ResumeProof::Outcome::OtherPrinter;
    return proof;
  }
  const ResumePoints from = ResumePointsOf(state);
  struct Area {
    DumpArea area;
    const tape::FlashArea& window;
    std::span<const std::uint8_t> stored;
    std::int64_t chunk;
  };
  const Area areas[] = {
      {DumpArea::Tape, tape::kTapeArea, tape.Bytes().first(static_cast<std::size_t>(from.tape)),
       state.tape.last_chunk},
      {DumpArea::Aux, tape::kAuxArea, aux.Bytes().first(static_cast<std::size_t>(from.aux)), state.aux.last_chunk},
  };
  for (const Area& area : areas) {
    const StoredCheck check = CheckStoredBytes(printer, password, area.window, area.stored, area.chunk);
    if (check.outcome == StoredCheck::Outcome::Same) continue;
    proof.outcome = check.outcome == StoredCheck::Outcome::Changed ? ResumeProof::Outcome::Changed
                                                                   : ResumeProof::Outcome::NoAnswer;
    proof.area = area.area;
    proof.address = check.address;
    proof.reason = check.reason;
    return proof;
  }
  return proof;
}

}  // namespace fjl::dump
