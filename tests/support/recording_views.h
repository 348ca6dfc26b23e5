#pragma once
// The views the core reports to, as tests hold them: each remembers what it
// was shown, in order.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "tape/download_view.h"
#include "tape/record_counters.h"
#include "user/message_sink.h"

namespace fjl::recording {

class Messages : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override { shown.emplace_back(text); }
  void ShowError(std::string_view text) override { errors.emplace_back(text); }
  std::vector<std::string> shown;   // message boxes
  std::vector<std::string> errors;  // the toolkit's error boxes
};

// Counter boxes: what each shows now, and every write in order.
class Counters : public tape::RecordCounterView {
 public:
  explicit Counters(std::size_t boxes) : texts(boxes, "0") {}
  std::string CounterText(std::size_t box) const override { return texts.at(box); }
  void SetCounterText(std::size_t box, std::string_view text) override {
    texts.at(box) = std::string(text);
    writes.emplace_back(box, std::string(text));
  }
  std::vector<std::string> texts;
  std::vector<std::pair<std::size_t, std::string>> writes;
};

// The result and status boxes and the download's gauge.
class DownloadBoxes : public tape::DownloadView {
 public:
  void SetResult(std::string_view text) override { results.emplace_back(text); }
  void SetStatus(std::string_view text) override { statuses.emplace_back(text); }
  void ShowProgress(std::int64_t stored, std::int64_t window) override {
    progress.push_back(stored);
    window_size = window;
  }
  // What the boxes show now: the last text written, empty before any.
  std::string Result() const { return results.empty() ? std::string() : results.back(); }
  std::string Status() const { return statuses.empty() ? std::string() : statuses.back(); }

  std::vector<std::string> results;
  std::vector<std::string> statuses;
  std::vector<std::int64_t> progress;
  std::int64_t window_size = 0;
};

}  // namespace fjl::recording
