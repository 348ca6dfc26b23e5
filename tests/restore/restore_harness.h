#pragma once
// One restoration with a scripted printer, built images and views that keep
// what they were told.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "restore/fake_printer.h"
#include "restore/restore_tape.h"
#include "sim/lib/journal_builder.h"
#include "support/recording_views.h"
#include "tape/flash_image.h"

namespace fjl::restore::testing {

class RecordingView final : public RestoreView, public LineView {
 public:
  void SetGaugeRange(std::int32_t min, std::int32_t max) override {
    minimum = min;
    maximum = max;
  }
  void SetGaugeProgress(std::int32_t progress) override { progress_shown.push_back(progress); }
  void SetRestoreEnabled(bool enabled) override { restore_enabled = enabled; }
  void AppendLines(std::span<const std::string> lines) override {
    batches.push_back(lines.size());
    shown.insert(shown.end(), lines.begin(), lines.end());
  }

  std::int32_t minimum = -1;
  std::int32_t maximum = -1;
  std::vector<std::int32_t> progress_shown;
  bool restore_enabled = true;
  std::vector<std::size_t> batches;
  std::vector<std::string> shown{""};  // the box starts with one empty line
};

// Lines every completed run writes around the records, worked out from the
// printer's default answers.
inline std::vector<std::string> ExpectedHeader() {
  return {
      "Контрольная лента.",
      " ",
      "Заводской номер - 12345678",
      "Фискальный номер - 1234567890",
      "IД - 123456789012",
      "ПН - 9876543210",
      " ",
      "Налог А, тип=Вложенный, ставка=20.00, название=НДС0",
      "Налог Б, тип=Вложенный, ставка=20.00, название=НДС1",
      "Налог В, тип=Вложенный, ставка=20.00, название=НДС2",
      "Налог Г, тип=Вложенный, ставка=20.00, название=НДС3",
      "Налог Д, тип=Вложенный, ставка=20.00, название=НДС4",
      " ",
      "**************************************************",
      " ",
      " ",
      " ",
  };
}

inline std::vector<std::string> ExpectedFooter() {
  return {" ", " ", " ", "**************************************************", " "};
}

class Harness {
 public:
  Harness() : tape_(std::make_unique<tape::TapeData>()), aux_(std::make_unique<tape::AuxImage>()) {}

  // The records of `builder` followed by the end marker; TapeLength is the marker's index.
  void SetTape(const sim::TapeBuilder& builder) {
    SetTapeBytes(builder.End());
    tape_->TapeLength = static_cast<std::int64_t>(builder.Records().size());
  }
  void SetTapeBytes(const std::vector<std::uint8_t>& bytes) {
    auto image = tape_->Image.MutableBytes();
    std::fill(image.begin(), image.end(), std::uint8_t{0});
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(bytes.size(), image.size())),
              image.begin());
  }
  void SetAux(const sim::AuxBuilder& builder) {
    const auto bytes = builder.End();
    std::copy(bytes.begin(), bytes.end(), aux_->MutableBytes().begin());
  }
  tape::TapeData& Tape() { return *tape_; }
  tape::AuxImage& Aux() { return *aux_; }

  RestoreOutcome Run() {
    const RestoreInputs inputs{printer, password, *tape_, *aux_,
                               [this](const link::DeviceResponse& reply) {
                                 last_reply = reply;
                                 ++replies_seen;
                               },
                               stop, text_budget, observer};
    return RestoreTape(inputs, state, text, view, messages);
  }

  std::vector<std::string> Lines() const { return {text.Lines().begin(), text.Lines().end()}; }

  // The record lines of a completed run: between header and footer.
  std::vector<std::string> RecordLines() const {
    const auto lines = Lines();
    const std::size_t first = 1 + ExpectedHeader().size();
    const std::size_t footer = ExpectedFooter().size();
    if (lines.size() < first + footer) return {};
    return {lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end() - static_cast<std::ptrdiff_t>(footer)};
  }

  // The lines after the header, for a run that stopped.
  std::vector<std::string> LinesAfterHeader() const {
    const auto lines = Lines();
    const std::size_t first = 1 + ExpectedHeader().size();
    if (lines.size() < first) return {};
    return {lines.begin() + static_cast<std::ptrdiff_t>(first), lines.end()};
  }

  FakePrinter printer;
  std::string password = "482913";
  RestorationState state;
  RecordingView view;
  LineSink text{&view};
  recording::Messages messages;
  link::DeviceResponse last_reply;
  int replies_seen = 0;
  const StopSignal* stop = nullptr;
  std::size_t text_budget = kRestoredTextBudget;
  RecordObserver* observer = nullptr;

 private:
  std::unique_ptr<tape::TapeData> tape_;
  std::unique_ptr<tape::AuxImage> aux_;
};

inline std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

inline const std::string kEquals(50, '=');

}  // namespace fjl::restore::testing
