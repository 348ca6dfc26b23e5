#pragma once
// An in-process serial channel for DeviceLink tests: records what is written,
// plays scripted reads, and never sleeps (an empty read returns at once and is
// counted, standing for 100 ms of silence).

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "serial/serial_channel.h"

namespace fjl::link::testing {

using platform::SystemResult;

// One scripted read: bytes (empty = the wait ran out), or a read error.
struct ScriptedRead {
  std::string bytes;
  int error = 0;
};

// Shared between the test and the channel, so the test can still look after
// DeviceLink has taken ownership of the channel.
struct FakeLine {
  std::vector<std::string> writes;
  std::deque<ScriptedRead> reads;
  // Played again and again once `reads` is empty (e.g. a SYN every read);
  // empty means silence.
  std::string repeat;
  int read_calls = 0;
  int empty_reads = 0;
  int drains = 0;
  int purges = 0;
  int closes = 0;
  bool close_fails = false;
  // What every write answers (success unless a test refuses it).
  SystemResult write_result;
  std::vector<std::string> events;  // "drain", "purge", "write", "close" in order
  // Fake time: every read advances it by 100 ms when empty, by `read_step`
  // when it delivers bytes.
  std::chrono::steady_clock::time_point now{};
  std::chrono::milliseconds read_step{10};

  // The reply bytes that the next exchange will read, in one piece.
  void Reply(std::string bytes) { reads.push_back({std::move(bytes), 0}); }
};

class FakeChannel : public serial::SerialChannel {
 public:
  explicit FakeChannel(std::shared_ptr<FakeLine> line, int handle = 7) : line_(std::move(line)), handle_(handle) {}

  serial::ReadResult Read(std::span<std::uint8_t> buffer) override {
    FakeLine& l = *line_;
    ++l.read_calls;
    ScriptedRead next;
    if (!l.reads.empty()) {
      next = std::move(l.reads.front());
      l.reads.pop_front();
    } else {
      next.bytes = l.repeat;
    }
    const std::size_t count = std::min(next.bytes.size(), buffer.size());
    if (count < next.bytes.size()) l.reads.push_front({next.bytes.substr(count), 0});
    std::copy_n(next.bytes.begin(), count, buffer.begin());
    if (count == 0) {
      ++l.empty_reads;
      l.now += std::chrono::milliseconds(100);
    } else {
      l.now += l.read_step;
    }
    if (next.error != 0) return SystemResult(next.error);
    return count;
  }
  SystemResult Write(std::span<const std::uint8_t> bytes) override {
    line_->writes.emplace_back(bytes.begin(), bytes.end());
    line_->events.push_back("write");
    return line_->write_result;
  }
  SystemResult Drain() override {
    ++line_->drains;
    line_->events.push_back("drain");
    return {};
  }
  SystemResult Purge(serial::PurgeDirection) override {
    ++line_->purges;
    line_->events.push_back("purge");
    return {};
  }
  bool Close() override {
    ++line_->closes;
    line_->events.push_back("close");
    if (line_->close_fails) return false;
    handle_ = -1;
    return true;
  }
  int Handle() const override { return handle_; }

 private:
  std::shared_ptr<FakeLine> line_;
  int handle_;
};

// An opener that hands out channels on `line` and remembers what it was asked.
struct FakeOpener {
  std::shared_ptr<FakeLine> line = std::make_shared<FakeLine>();
  std::shared_ptr<std::vector<std::string>> opened = std::make_shared<std::vector<std::string>>();
  std::shared_ptr<bool> fail = std::make_shared<bool>(false);

  serial::ChannelOpener Opener() {
    return [line = line, opened = opened, fail = fail](const std::string& port,
                                                          std::int32_t speed) -> std::unique_ptr<serial::SerialChannel> {
      opened->push_back(port + "@" + std::to_string(speed));
      if (*fail) return nullptr;
      return std::make_unique<FakeChannel>(line, static_cast<int>(opened->size()) + 2);
    };
  }
};

// A reply frame as the printer sends it, with its checksum worked out here:
// the plain sum of LEN through the ENQ, four characters 0x30 + nibble.
inline std::string ReplyFrame(int seq, int command, const std::string& error_code, const std::string& data,
                              const std::string& status = std::string(6, '\x80')) {
  std::string body;
  body.push_back(static_cast<char>(0x30 + data.size()));
  body.push_back(static_cast<char>(seq));
  body.push_back(static_cast<char>(command));
  body += error_code + ";" + data + "\x04" + status + "\x05";
  unsigned sum = 0;
  for (unsigned char c : body) sum += c;
  std::string frame = "\x01" + body;
  for (int shift = 12; shift >= 0; shift -= 4) frame.push_back(static_cast<char>(0x30 + ((sum >> shift) & 0xF)));
  frame.push_back('\x03');
  return frame;
}

// Bytes from a list of hexadecimal values.
inline std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

}  // namespace fjl::link::testing
