#pragma once
// Everything a download talks to, faked.

#include "fake_exchanger.h"
#include "link/device_response.h"
#include "support/recording_views.h"

namespace fjl::tape::testing {

// Everything one download talks to, scripted.
struct Bench {
  explicit Bench(std::size_t counter_boxes) : counters(counter_boxes) {}
  DownloadContext Context() { return {link, last_response, view, counters, log}; }
  DownloadContext Context(link::Exchanger& other) {
    return {other, last_response, view, counters, log};
  }
  FakeExchanger link;
  link::DeviceResponse last_response;
  recording::DownloadBoxes view;
  recording::Counters counters;
  recording::Messages log;
};

}  // namespace fjl::tape::testing
