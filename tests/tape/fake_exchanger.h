#pragma once
// A printer link that answers from a script, for the download tests.

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/device_response.h"
#include "link/exchanger.h"

namespace fjl::tape::testing {

inline std::string HexText(std::span<const std::uint8_t> bytes) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (std::uint8_t b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0x0F];
  }
  return hex;
}

// A decoded reply with the given error code and fields.
inline link::DeviceResponse Reply(std::string error_code, std::vector<std::string> fields,
                                  std::array<std::uint8_t, 6> status = {}) {
  link::DeviceResponse r;
  r.Command = 241;
  r.ErrorCode = std::move(error_code);
  r.StatusBytes = status;
  r.FieldCount = static_cast<std::int32_t>(fields.size());
  for (std::size_t i = 0; i < fields.size(); ++i) r.Fields[i] = std::move(fields[i]);
  return r;
}

// A successful flash read carrying `bytes`.
inline link::DeviceResponse Chunk(std::span<const std::uint8_t> bytes) {
  return Reply("0000", {std::to_string(bytes.size()), HexText(bytes)});
}

inline link::DeviceResponse Silence() {
  link::DeviceResponse r;
  r.Status = link::StatusNoReply;
  return r;
}

inline link::DeviceResponse LinkFault(std::uint32_t bit) {
  link::DeviceResponse r;
  r.Status = bit;
  return r;
}

struct SentRequest {
  std::int32_t Command;
  std::string Data;
};

class FakeExchanger : public link::Exchanger {
 public:
  // `before` runs when this reply is about to be returned (the user typing
  // into a box while the download waits, say).
  void Push(link::DeviceResponse reply, std::function<void()> before = {}) {
    script_.push_back({std::move(reply), std::move(before)});
  }

  const link::DeviceResponse& Exchange(std::int32_t command, std::string_view data) override {
    sent.push_back({command, std::string(data)});
    if (script_.empty()) {
      current_ = Silence();
      return current_;
    }
    Step step = std::move(script_.front());
    script_.pop_front();
    if (step.before) step.before();
    // Like the real link: a reply without a data part leaves the previous
    // reply's fields in the record.
    auto previous_fields = current_.Fields;
    current_ = std::move(step.reply);
    if (current_.FieldCount == 0) current_.Fields = previous_fields;
    return current_;
  }

  std::size_t Remaining() const { return script_.size(); }
  std::vector<SentRequest> sent;

 private:
  struct Step {
    link::DeviceResponse reply;
    std::function<void()> before;
  };
  std::deque<Step> script_;
  link::DeviceResponse current_;
};

// A printer serving a whole flash window: each request is answered with up
// to `chunk` bytes from the requested address on (and the count it
// announces may be larger than what is left, if asked).
class FlashExchanger : public link::Exchanger {
 public:
  FlashExchanger(std::int64_t first_address, std::vector<std::uint8_t> flash, std::int64_t chunk)
      : first_(first_address), flash_(std::move(flash)), chunk_(chunk) {}

  const link::DeviceResponse& Exchange(std::int32_t, std::string_view data) override {
    ++requests;
    const auto semicolon = data.find(';');
    last_address = std::stoll(std::string(data.substr(semicolon + 1)));
    const std::int64_t offset = last_address - first_;
    const std::int64_t left = static_cast<std::int64_t>(flash_.size()) - offset;
    const std::int64_t n = std::max<std::int64_t>(0, std::min(chunk_, left));
    std::span<const std::uint8_t> bytes(flash_.data() + offset, static_cast<std::size_t>(n));
    current_ = Chunk(bytes);
    if (announce_full_chunk) current_.Fields[0] = std::to_string(chunk_);
    return current_;
  }

  bool announce_full_chunk = false;
  std::int64_t requests = 0;
  std::int64_t last_address = 0;

 private:
  std::int64_t first_;
  std::vector<std::uint8_t> flash_;
  std::int64_t chunk_;
  link::DeviceResponse current_;
};

}  // namespace fjl::tape::testing
