#pragma once
// One restoration run: its inputs and what the driver, the header and the
// record decoders share while it lasts.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "restore/decoded_records.h"
#include "restore/line_sink.h"
#include "restore/record_fields.h"
#include "restore/restoration_state.h"
#include "tape/flash_image.h"
#include "user/message_sink.h"
#include "user/stop_signal.h"

namespace fjl::restore {

// StopRun: a decoder stopped the run and has shown why. Cancelled: the stop
// signal ended the walk between two records (decoders never answer it).
enum class Verdict { GoOn, StopRun, Cancelled };

// The most text one run may write, counted as UTF-8 bytes plus CR LF a line
// (never less than the FJL file takes). Only item annulments can make the
// text grow faster than the tape: each copies lines already written, and
// voids whose spans take in earlier voids double it every time. Real
// receipts restore to some 20 bytes of text a tape byte (the sample
// journal: 8 kB from 350 bytes with its header), so the whole 2 MB tape
// area gives some 45 MB, and one void over all of it twice that: a quarter
// of a gigabyte lets every real tape through, yet stops damaged references
// while the memory is still there: a chain of voids stopped by it peaks at
// some 0.9 GB, the lines' own overhead included.
inline constexpr std::size_t kRestoredTextBudget = std::size_t{256} * 1024 * 1024;

struct RestoreInputs {
  link::Exchanger& printer;
  std::string_view password;   // Windows-1251 bytes, sent unchanged
  const tape::TapeData& tape;  // the tape image and the index of its end marker
  const tape::AuxImage& aux;
  // Called with every reply, right after its exchange (the step 1 window keeps
  // it as its latest response). May be empty.
  std::function<void(const link::DeviceResponse&)> on_reply;
  // Polled before every record; null when nothing can stop the run.
  const StopSignal* stop = nullptr;
  std::size_t text_budget = kRestoredTextBudget;
  // Told every decoded record as a value beside its lines; null when only
  // the text is wanted.
  RecordObserver* observer = nullptr;
};

class RestoreRun {
 public:
  RestoreRun(const RestoreInputs& inputs, RestorationState& state, LineSink& text, MessageSink& messages);
  RestoreRun(const RestoreRun&) = delete;
  RestoreRun& operator=(const RestoreRun&) = delete;

  // Appends one line (UTF-8) to the restored text.
  void Line(std::string text) {
    text_bytes_ += TextBytes(text);
    text_.Append(std::move(text));
  }
  // What a line costs against the run's text budget.
  static std::size_t TextBytes(const std::string& line) { return line.size() + 2; }
  // Whether `more` bytes still fit in the budget after what this run wrote.
  bool TextFits(std::size_t more) const { return more <= inputs_.text_budget - std::min(text_bytes_, inputs_.text_budget); }
  std::size_t TextBudget() const { return inputs_.text_budget; }
  // The observer of decoded records, or null: decoders build a record's value
  // only when someone is there to take it.
  RecordObserver* Observer() const { return inputs_.observer; }
  bool StopRequested() const { return fjl::StopRequested(inputs_.stop); }
  // Notes where `record` begins: its title is the last line written.
  void AddRecordLine(const TapeRecord& record);
  // Shows a message box, after the lines written so far have been handed
  // to the view, so the box appears over an up-to-date text.
  void Show(std::string_view message);
  // Shows the message and answers that the run stops.
  Verdict Stop(std::string_view message);

  // The printer, through which every reply also reaches on_reply.
  link::Exchanger& Printer() { return recorder_; }
  std::string_view Password() const { return inputs_.password; }
  const tape::AuxImage& Aux() const { return inputs_.aux; }
  RestorationState& State() { return state_; }
  LineSink& Text() { return text_; }

 private:
  class ReplyRecorder final : public link::Exchanger {
   public:
    ReplyRecorder(const RestoreInputs& inputs, RestorationState& state) : inputs_(inputs), state_(state) {}
    const link::DeviceResponse& Exchange(std::int32_t command, std::string_view data) override;

   private:
    const RestoreInputs& inputs_;
    RestorationState& state_;
  };

  const RestoreInputs& inputs_;
  RestorationState& state_;
  LineSink& text_;
  MessageSink& messages_;
  ReplyRecorder recorder_;
  std::size_t text_bytes_ = 0;  // written by this run
};

// Field i of a reply as UTF-8, or an empty text when the reply has fewer fields.
std::string ReplyField(const link::DeviceResponse& reply, int i);
bool HasField(const link::DeviceResponse& reply, int i);

}  // namespace fjl::restore
