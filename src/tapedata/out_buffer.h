#pragma once
// The one buffer an export is written into. Space is reserved up front and
// written through a pointer: no value makes a string of its own, and a
// character costs a store rather than std::string's bookkeeping (a size, a
// terminator and a capacity check on every push_back).
//
// Given a drain, the buffer is a window instead: each time it fills, what it
// holds is handed on and the same memory is written again. A tape's JSON is
// some 5 MB; written whole, most of its cost is the system handing over
// fresh pages, while a window of 64 KB stays in the cache.

#include <charconv>
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>

namespace fjl::tapedata {

class OutBuffer {
 public:
  using Drain = std::function<void(std::string_view)>;

  explicit OutBuffer(std::size_t reserve = 0);
  // A window of `window` bytes whose text goes to `drain` as it fills and
  // at Flush(); Take() is for the whole-text form only.
  OutBuffer(std::size_t window, Drain drain);
  OutBuffer(const OutBuffer&) = delete;
  OutBuffer& operator=(const OutBuffer&) = delete;

  // At least `bytes` writable bytes at the returned pointer; Commit() says
  // how far they were written.
  char* Room(std::size_t bytes) {
    if (static_cast<std::size_t>(limit_ - cursor_) < bytes) [[unlikely]] {
      Grow(bytes);
    }
    return cursor_;
  }
  void Commit(char* end) { cursor_ = end; }

  void Put(char c) {
    *Room(1) = c;
    ++cursor_;
  }
  void Put(std::string_view text) {
    if (text.empty()) return;  // an empty view may hold no pointer, which memcpy must not get
    std::memcpy(Room(text.size()), text.data(), text.size());
    cursor_ += text.size();
  }
  void Repeat(char c, std::size_t count) {
    std::memset(Room(count), c, count);
    cursor_ += count;
  }
  void Integer(std::int64_t value) {
    char* at = Room(kNumberRoom);
    cursor_ = std::to_chars(at, at + kNumberRoom, value).ptr;
  }
  void Unsigned(std::uint64_t value) {
    char* at = Room(kNumberRoom);
    cursor_ = std::to_chars(at, at + kNumberRoom, value).ptr;
  }
  // See AppendDecimalFraction (number_append.h).
  void DecimalFraction(std::int64_t value, int digits, char point);

  std::size_t Size() const { return static_cast<std::size_t>(cursor_ - buffer_.data()); }
  // The text written; the buffer is empty afterwards.
  std::string Take();
  // Hands what the window holds to the drain, and empties it.
  void Flush();

 private:
  static constexpr std::size_t kNumberRoom = 24;  // any 64-bit integer with its sign

  void Grow(std::size_t bytes);

  std::string buffer_;  // written up to cursor_; the rest, up to limit_, is room
  Drain drain_;
  char* cursor_ = nullptr;
  char* limit_ = nullptr;
};

}  // namespace fjl::tapedata
