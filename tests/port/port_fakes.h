#pragma once
// Scripted stand-ins for the port and the scheduler behind TPortControl.

#include <cerrno>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/system_result.h"
#include "port/port_io.h"
#include "port/port_scheduler.h"

namespace fjl::port::testing {

// The system's text for `code` as the component shows it: the C library's
// wording on POSIX, the system message table's on Windows (which Windows and
// wine word differently, so it is taken from the system there).
inline std::string Described(int code, const std::string& posix_text) {
#ifdef _WIN32
  static_cast<void>(posix_text);
  return platform::SystemErrorText(code);
#else
  static_cast<void>(code);
  return posix_text;
#endif
}

// What the fake port saw and what it is told to fail. Shared with the test,
// which keeps it after the component has dropped the port.
struct FakePort {
  int opens = 0;
  int closes = 0;
  int open_error = 0;
  int read_settings_error = 0;
  int write_settings_error = 0;
  int timeouts_error = 0;
  int read_error = 0;
  int write_error = 0;
  int flush_error = 0;
  int purge_error = 0;
  int clear_error = 0;
  int escape_error = 0;
  int close_error = 0;
  int read_settings_calls = 0;
  // TransmitChar fails from this character on (1-based); 0 never.
  int transmit_fails_at = 0;
  // A buffered write that fails still sends this many bytes first.
  std::size_t partial_write = 0;
  std::string opened_name;
  LineSettings written_settings{};
  T1CommTimeouts timeouts{};
  std::vector<std::uint8_t> sent;
  int write_calls = 0;
  int transmit_calls = 0;
  std::vector<std::uint32_t> purges;
  std::vector<std::uint32_t> escapes;
  // Each entry is what one read call finds waiting; an empty entry or an
  // empty queue is a read whose time-out ran out.
  std::deque<std::vector<std::uint8_t>> incoming;
};

class FakePortIo : public PortIo {
 public:
  explicit FakePortIo(std::shared_ptr<FakePort> port) : port_(std::move(port)) {}
  SystemResult ReadSettings(LineSettings& settings) override {
    ++port_->read_settings_calls;
    settings = port_->written_settings;
    return port_->read_settings_error;
  }
  SystemResult WriteSettings(const LineSettings& settings) override {
    if (port_->write_settings_error == 0) port_->written_settings = settings;
    return port_->write_settings_error;
  }
  SystemResult SetTimeouts(const T1CommTimeouts& timeouts) override {
    if (port_->timeouts_error == 0) port_->timeouts = timeouts;
    return port_->timeouts_error;
  }
  SystemResult Read(std::span<std::uint8_t> buffer, std::size_t& count) override {
    count = 0;
    if (port_->read_error != 0) return port_->read_error;
    if (port_->incoming.empty()) return 0;
    auto& chunk = port_->incoming.front();
    while (count < buffer.size() && !chunk.empty()) {
      buffer[count++] = chunk.front();
      chunk.erase(chunk.begin());
    }
    if (chunk.empty()) port_->incoming.pop_front();
    return 0;
  }
  SystemResult Write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
    ++port_->write_calls;
    if (port_->write_error != 0) {
      written = std::min(port_->partial_write, bytes.size());
      port_->sent.insert(port_->sent.end(), bytes.begin(), bytes.begin() + static_cast<long>(written));
      return port_->write_error;
    }
    port_->sent.insert(port_->sent.end(), bytes.begin(), bytes.end());
    written = bytes.size();
    return 0;
  }
  SystemResult TransmitChar(std::uint8_t byte) override {
    ++port_->transmit_calls;
    if (port_->transmit_fails_at != 0 && port_->transmit_calls >= port_->transmit_fails_at) return EIO;
    port_->sent.push_back(byte);
    return 0;
  }
  SystemResult Flush() override { return port_->flush_error; }
  SystemResult Purge(std::uint32_t flags) override {
    port_->purges.push_back(flags);
    return port_->purge_error;
  }
  SystemResult ClearError() override { return port_->clear_error; }
  SystemResult Escape(std::uint32_t function) override {
    port_->escapes.push_back(function);
    return port_->escape_error;
  }
  SystemResult Close() override {
    ++port_->closes;
    return port_->close_error;
  }

 private:
  std::shared_ptr<FakePort> port_;
};

inline PortIoOpener FakeOpener(std::shared_ptr<FakePort> port) {
  return [port](const std::string& name) -> OpenedPortIo {
    ++port->opens;
    port->opened_name = name;
    if (port->open_error != 0) return SystemResult(port->open_error);
    return std::make_unique<FakePortIo>(port);
  };
}

// A scheduler that keeps the "current" priorities in memory and refuses on request.
class FakeScheduler : public SessionScheduler {
 public:
  int nice = 5;
  ThreadSchedule schedule{0, 0};
  int get_nice_error = 0;
  int set_nice_error = 0;
  int get_schedule_error = 0;
  int set_schedule_error = 0;
  // Refuse only raises (a lower nice, a real-time policy), as an
  // unprivileged process is refused.
  bool refuse_raise_only = false;

  SystemResult GetProcessPriority(int& value) override {
    value = nice;
    return get_nice_error;
  }
  SystemResult SetProcessPriority(int value) override {
    if (set_nice_error != 0 && (!refuse_raise_only || value < nice)) return set_nice_error;
    nice = value;
    return 0;
  }
  SystemResult GetThreadSchedule(ThreadSchedule& value) override {
    value = schedule;
    return get_schedule_error;
  }
  SystemResult SetThreadSchedule(const ThreadSchedule& value) override {
    if (set_schedule_error != 0 && (!refuse_raise_only || value.policy != 0)) return set_schedule_error;
    schedule = value;
    return 0;
  }
  int SessionNice() const override { return -20; }
  ThreadSchedule SessionSchedule() const override { return {1, 1}; }
};

}  // namespace fjl::port::testing
