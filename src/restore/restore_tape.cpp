#include "restore/restore_tape.h"

#include <algorithm>
#include <limits>
#include <string>

#include "restore/number_text.h"
#include "restore/gauge_throttle.h"
#include "restore/record_decoders.h"
#include "restore/tape_header.h"
#include "tape/record_types.h"

namespace fjl::restore {
namespace {

void StartRun(RestorationState& state) {
  state.Operators.clear();
  state.Payment.clear();
  state.RecordLineTable.clear();
  state.RestoreFinished = false;
  state.TaxGroupsNotRead.clear();
  state.LineLost = false;
}

// Where the walk must stop: the end marker's index, kept inside the image
// (and so inside the gauge's 32-bit range).
std::int64_t WalkEnd(const tape::TapeData& tape) {
  const std::int64_t image_end =
      std::min<std::int64_t>(static_cast<std::int64_t>(tape.Image.Size()), std::numeric_limits<std::int32_t>::max());
  return std::clamp<std::int64_t>(tape.TapeLength, 0, image_end);
}

std::string UnframableRecordMessage(std::uint8_t type, std::int64_t position, bool unknown_type) {
  const std::string where = "Запись типа " + Decimal(type) + " в позиции " + Decimal(position);
  return where + (unknown_type ? " имеет неизвестный тип." : " выходит за пределы образа ленты.") +
         " Восстановление остановлено.";
}

Verdict WalkRecords(RestoreRun& run, const tape::TapeData& tape, std::int64_t end, GaugeThrottle& gauge,
                    TapeWalkEnd& where) {
  const std::span<const std::uint8_t> image = tape.Image.Bytes();
  std::int64_t& position = where.position;
  for (;;) {
    if (gauge.SetProgress(position)) run.Text().Flush();
    const bool inside = position < static_cast<std::int64_t>(image.size());
    const std::uint8_t type = inside ? image[static_cast<std::size_t>(position)] : std::uint8_t{0};
    where.type = type;
    if (position >= end || type == tape::kTapeEndMarker) {
      where.kind = inside && type == tape::kTapeEndMarker ? WalkEndKind::EndMarker : WalkEndKind::LengthBound;
      return Verdict::GoOn;
    }
    if (run.StopRequested()) {
      where.kind = WalkEndKind::Cancelled;
      return Verdict::Cancelled;
    }

    const std::uint8_t length = tape::RecordLength(type);
    const RecordDecoder decoder = DecoderFor(type);
    // Nothing can step over a type without a length: the walk would stand still.
    if (length == 0 || decoder == nullptr) {
      where.kind = WalkEndKind::UnknownType;
      return run.Stop(UnframableRecordMessage(type, position, true));
    }
    if (position + length > static_cast<std::int64_t>(image.size())) {
      where.kind = WalkEndKind::PastImage;
      return run.Stop(UnframableRecordMessage(type, position, false));
    }
    const TapeRecord record{position, image.subspan(static_cast<std::size_t>(position), length)};
    if (decoder(run, record) == Verdict::StopRun) {
      where.kind = WalkEndKind::Stopped;
      return Verdict::StopRun;
    }
    position += length;
  }
}

Verdict WalkTape(RestoreRun& run, const tape::TapeData& tape, std::int64_t end, GaugeThrottle& gauge) {
  TapeWalkEnd where;
  const Verdict verdict = WalkRecords(run, tape, end, gauge, where);
  if (RecordObserver* observer = run.Observer()) observer->OnWalkEnd(where);
  return verdict;
}

}  // namespace

RestoreOutcome RestoreTape(const RestoreInputs& inputs, RestorationState& state, LineSink& text, RestoreView& view,
                           MessageSink& messages) {
  StartRun(state);
  const std::int64_t end = WalkEnd(inputs.tape);
  GaugeThrottle gauge(view);
  gauge.SetRange(0, static_cast<std::int32_t>(end));
  RestoreRun run(inputs, state, text, messages);

  if (WriteTapeHeader(run) == Verdict::StopRun) return RestoreOutcome::Stopped;
  switch (WalkTape(run, inputs.tape, end, gauge)) {
    case Verdict::GoOn:
      break;
    case Verdict::StopRun:
      return RestoreOutcome::Stopped;
    case Verdict::Cancelled:
      text.Flush();
      return RestoreOutcome::Cancelled;
  }

  for (int i = 0; i < 3; ++i) run.Line(kBlankLine);
  run.Line(std::string(50, '*'));
  run.Line(kBlankLine);
  text.Flush();
  gauge.SetProgress(end + 5);
  view.SetRestoreEnabled(false);
  state.RestoreFinished = true;
  return RestoreOutcome::Completed;
}

}  // namespace fjl::restore
