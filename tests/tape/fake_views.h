#pragma once
// Views of the downloads that remember what they were shown.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fake_exchanger.h"
#include "link/device_response.h"
#include "tape/download_view.h"
#include "tape/record_counters.h"
#include "user/message_sink.h"

namespace fjl::tape::testing {

class FakeCounterView : public RecordCounterView {
 public:
  explicit FakeCounterView(std::size_t boxes) : texts(boxes, "0") {}
  std::string CounterText(std::size_t box) const override { return texts.at(box); }
  void SetCounterText(std::size_t box, std::string_view text) override {
    texts.at(box) = std::string(text);
    writes.emplace_back(box, std::string(text));
  }
  std::vector<std::string> texts;
  std::vector<std::pair<std::size_t, std::string>> writes;
};

class FakeDownloadView : public DownloadView {
 public:
  void SetResult(std::string_view text) override { results.emplace_back(text); }
  void SetStatus(std::string_view text) override { statuses.emplace_back(text); }
  void ShowProgress(std::int64_t stored, std::int64_t window) override {
    progress.push_back(stored);
    window_size = window;
  }
  std::vector<std::string> results;
  std::vector<std::string> statuses;
  std::vector<std::int64_t> progress;
  std::int64_t window_size = 0;
};

class MessageLog : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  void ShowError(std::string_view text) override { errors.emplace_back(text); }
  std::vector<std::string> messages;
  std::vector<std::string> errors;
};

// Everything one download talks to, scripted.
struct Bench {
  explicit Bench(std::size_t counter_boxes) : counters(counter_boxes) {}
  DownloadContext Context() { return {link, last_response, view, counters, log}; }
  DownloadContext Context(link::Exchanger& other) {
    return {other, last_response, view, counters, log};
  }
  FakeExchanger link;
  link::DeviceResponse last_response;
  FakeDownloadView view;
  FakeCounterView counters;
  MessageLog log;
};

}  // namespace fjl::tape::testing
