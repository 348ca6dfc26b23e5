#pragma once
// What a download needs from its window (or the CLI, or a test), and what it
// hands back: the outcome the caller sets its buttons from (wizard/button_tables.h).

#include <cstdint>
#include <string_view>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "tape/record_counters.h"
#include "user/message_sink.h"
#include "user/stop_signal.h"

namespace fjl::tape {

class DownloadView {
 public:
  virtual ~DownloadView() = default;
  // "Результат выполнения:": the error code of the latest reply (UTF-8).
  virtual void SetResult(std::string_view text) = 0;
  // "Статус регистратора:": its six status bytes, "00 01 7F 10 2A 05".
  virtual void SetStatus(std::string_view text) = 0;
  // After every chunk stored: the bytes held so far and the size of the
  // address window. A window keeps itself painted here; the CLI draws its
  // progress line.
  virtual void ShowProgress(std::int64_t bytes_stored, std::int64_t window_size) {
    (void)bytes_stored;
    (void)window_size;
  }
};

// Everything a download talks to.
struct DownloadContext {
  link::Exchanger& Link;
  // The caller's copy of the latest reply; every exchange of the download
  // lands here, whatever happens next.
  link::DeviceResponse& LastResponse;
  DownloadView& View;
  RecordCounterView& Counters;
  MessageSink& Messages;
  // Polled before every request; null when nothing can stop the download.
  const StopSignal* Stop = nullptr;
};

enum class DownloadOutcome {
  Success,           // the end was met, a short reply came, or the window was read to its end
  Timeout,           // no reply
  LinkError,         // the reply was a NAK or failed its checksum
  DeviceError,       // the printer answered with an error code other than "0000"
  BadData,           // the reply's count or hexadecimal text was wrong or missing
  UnknownRecord,     // the records cannot be framed past some point
  CounterNotNumber,  // a counter box held something else than a whole number
  Cancelled,         // the stop signal ended it between two requests; no message shown
};

constexpr bool Succeeded(DownloadOutcome outcome) { return outcome == DownloadOutcome::Success; }

}  // namespace fjl::tape
