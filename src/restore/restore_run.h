#pragma once
// One restoration run: its inputs and what the driver, the header and the
// record decoders share while it lasts.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "restore/line_sink.h"
#include "restore/record_fields.h"
#include "restore/restoration_state.h"
#include "tape/flash_image.h"
#include "text/message_sink.h"

namespace fjl::restore {

enum class Verdict { GoOn, StopRun };

struct RestoreInputs {
  link::Exchanger& printer;
  std::string_view password;   // Windows-1251 bytes, sent unchanged
  const tape::TapeData& tape;  // the tape image and the index of its end marker
  const tape::AuxImage& aux;
  // Called with every reply, right after its exchange (the step 1 window keeps
  // it as its latest response). May be empty.
  std::function<void(const link::DeviceResponse&)> on_reply;
};

class RestoreRun {
 public:
  RestoreRun(const RestoreInputs& inputs, RestorationState& state, LineSink& text, MessageSink& messages);
  RestoreRun(const RestoreRun&) = delete;
  RestoreRun& operator=(const RestoreRun&) = delete;

  // Appends one line (UTF-8) to the restored text.
  void Line(std::string text) { text_.Append(std::move(text)); }
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
};

// Field i of a reply as UTF-8, or an empty text when the reply has fewer fields.
std::string ReplyField(const link::DeviceResponse& reply, int i);
bool HasField(const link::DeviceResponse& reply, int i);

}  // namespace fjl::restore
