// Restores a tape image and an auxiliary image made of arbitrary bytes, with
// a printer that answers arbitrary fields, error codes or nothing. The run
// must end, completed or stopped with a message, without reading outside an
// image and without the text running away. Every line and every message is
// well-formed UTF-8: the printer's raw Windows-1251 bytes are converted
// before they reach either. The tape model the run builds then goes through
// the JSON and CSV exports and the integrity check with its reports, which
// must come out well-formed UTF-8 too, however the run ended.
//
// Input: a header of four bytes (tape length mode, aux placement, tape share),
// then the tape bytes, the aux bytes and the bytes the printer answers from.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "restore/restore_tape.h"
#include "tape/flash_image.h"
#include "tapecheck/check_report.h"
#include "tapedata/tape_csv.h"
#include "tapedata/tape_json.h"
#include "valid_utf8.h"

namespace {

using namespace fjl;

class ByteSource {
 public:
  explicit ByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t Next() { return position_ < bytes_.size() ? bytes_[position_++] : 0; }
  std::string Text(std::size_t max_length) {
    const std::size_t length = std::min<std::size_t>(Next() % (max_length + 1), bytes_.size() - position_);
    std::string text(reinterpret_cast<const char*>(bytes_.data() + position_), length);
    position_ += length;
    return text;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

class ArbitraryPrinter final : public link::Exchanger {
 public:
  explicit ArbitraryPrinter(std::span<const std::uint8_t> script) : source_(script) {}
  const link::DeviceResponse& Exchange(std::int32_t command, std::string_view data) override {
    reply_ = link::DeviceResponse{};
    reply_.Command = command;
    reply_.SentData = std::string(data);
    const std::uint8_t mode = source_.Next();
    switch (mode % 8) {
      case 0:
        reply_.Status = link::StatusNoReply;
        return reply_;
      case 1:
        reply_.Status = link::StatusNak;
        break;
      case 2:
        reply_.ErrorCode = source_.Text(6);
        break;
      default:
        reply_.ErrorCode = "0000";
        break;
    }
    reply_.FieldCount = source_.Next() % (link::kMaxFields + 1);
    for (int i = 0; i < reply_.FieldCount; ++i) reply_.Fields[static_cast<std::size_t>(i)] = source_.Text(40);
    return reply_;
  }

 private:
  ByteSource source_;
  link::DeviceResponse reply_;
};

class NullView final : public restore::RestoreView, public restore::LineView {
 public:
  void SetGaugeRange(std::int32_t min, std::int32_t max) override {
    if (min > max) std::abort();
    minimum_ = min;
    maximum_ = max;
  }
  void SetGaugeProgress(std::int32_t progress) override {
    if (progress < minimum_ || progress > maximum_) std::abort();
  }
  void SetRestoreEnabled(bool) override {}
  void AppendLines(std::span<const std::string> lines) override {
    for (const std::string& line : lines) {
      if (!fuzzing::IsValidUtf8(line)) std::abort();
    }
  }

 private:
  std::int32_t minimum_ = 0;
  std::int32_t maximum_ = 0;
};

void Fill(std::span<std::uint8_t> bytes, std::uint8_t value) { std::fill(bytes.begin(), bytes.end(), value); }

class CountingMessages final : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override {
    if (!fuzzing::IsValidUtf8(text)) std::abort();
    ++count;
  }
  void ShowError(std::string_view text) override {
    if (!fuzzing::IsValidUtf8(text)) std::abort();
    ++count;
  }
  int count = 0;
};

// The images are large; they are made once and cleared after each input.
// The tape beyond the input reads as erased flash (0xFF, the end marker), so
// a length past the input still ends the walk soon instead of restoring two
// megabytes of zero records on every run.
tape::TapeData& Tape() {
  static const auto tape = [] {
    auto made = std::make_unique<tape::TapeData>();
    Fill(made->Image.MutableBytes(), 0xFF);
    return made;
  }();
  return *tape;
}
tape::AuxImage& Aux() {
  static const auto aux = std::make_unique<tape::AuxImage>();
  return *aux;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const std::span<const std::uint8_t> input(data, size);
  const std::uint8_t length_mode = input[0];
  const bool aux_at_end = (input[1] & 1) != 0;
  const std::size_t rest = size - 4;
  const std::size_t tape_share = rest * input[2] / 255;
  const std::size_t aux_share = (rest - tape_share) * input[3] / 255;
  const auto tape_bytes = input.subspan(4, tape_share);
  const auto aux_bytes = input.subspan(4 + tape_share, aux_share);
  const auto printer_script = input.subspan(4 + tape_share + aux_share);

  tape::TapeData& tape = Tape();
  tape::AuxImage& aux = Aux();
  const auto tape_image = tape.Image.MutableBytes();
  const auto aux_image = aux.MutableBytes();
  std::copy(tape_bytes.begin(), tape_bytes.end(), tape_image.begin());
  const std::size_t aux_start = aux_at_end ? aux_image.size() - aux_bytes.size() : 0;
  std::copy(aux_bytes.begin(), aux_bytes.end(), aux_image.begin() + static_cast<std::ptrdiff_t>(aux_start));
  switch (length_mode % 4) {
    case 0:
      tape.TapeLength = static_cast<std::int64_t>(tape_bytes.size());
      break;
    case 1:
      tape.TapeLength = static_cast<std::int64_t>(tape_image.size()) + length_mode;
      break;
    case 2:
      tape.TapeLength = -static_cast<std::int64_t>(length_mode);
      break;
    default:
      tape.TapeLength = static_cast<std::int64_t>(length_mode) * 4099;
      break;
  }

  ArbitraryPrinter printer(printer_script);
  NullView view;
  CountingMessages messages;
  restore::RestorationState state;
  restore::LineSink text(&view);
  tapedata::TapeModelBuilder model(static_cast<std::int64_t>(tape_image.size()));
  const restore::RestoreInputs inputs{printer, "482913", tape, aux, {}, nullptr, restore::kRestoredTextBudget, &model};
  const restore::RestoreOutcome outcome = restore::RestoreTape(inputs, state, text, view, messages);

  if (outcome == restore::RestoreOutcome::Stopped && messages.count == 0) std::abort();
  if (outcome == restore::RestoreOutcome::Completed && !state.RestoreFinished) std::abort();
  for (const std::string& line : text.Lines()) {
    if (!fuzzing::IsValidUtf8(line)) std::abort();
  }
  for (const restore::RecordLine& entry : state.RecordLineTable) {
    if (entry.FirstDetailLine == 0 || entry.FirstDetailLine > text.LineCount()) std::abort();
  }
  const tapedata::TapeCsv csv = tapedata::TapeCsvTables(model.Model());
  const tapecheck::TapeCheck check = tapecheck::CheckTape(model.Model());
  for (const std::string& out : {tapedata::TapeJson(model.Model(), {"fuzz", "2024-01-01T00:00:00"}), csv.documents,
                                 csv.items, csv.payments, tapecheck::ReportText(check), tapecheck::ReportJson(check),
                                 tapecheck::SummaryLine(check, "")}) {
    if (!fuzzing::IsValidUtf8(out)) std::abort();
  }

  Fill(tape_image.first(tape_bytes.size()), 0xFF);
  Fill(aux_image.subspan(aux_start, aux_bytes.size()), 0);
  return 0;
}
