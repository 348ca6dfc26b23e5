#include "tapedata/out_buffer.h"

#include <algorithm>
#include <utility>

namespace fjl::tapedata {

OutBuffer::OutBuffer(std::size_t reserve) {
  buffer_.resize(reserve);
  cursor_ = buffer_.data();
  limit_ = cursor_ + buffer_.size();
}

OutBuffer::OutBuffer(std::size_t window, Drain drain) : OutBuffer(window) { drain_ = std::move(drain); }

void OutBuffer::Flush() {
  if (Size() != 0) drain_(std::string_view(buffer_.data(), Size()));
  cursor_ = buffer_.data();
}

void OutBuffer::Grow(std::size_t bytes) {
  if (drain_) {
    Flush();
    if (static_cast<std::size_t>(limit_ - cursor_) >= bytes) return;
    // One value longer than the window: it is never split.
    buffer_.resize(bytes);
    cursor_ = buffer_.data();
    limit_ = cursor_ + buffer_.size();
    return;
  }
  const std::size_t used = Size();
  buffer_.resize(std::max(buffer_.size() * 2, used + bytes + 4096));
  cursor_ = buffer_.data() + used;
  limit_ = buffer_.data() + buffer_.size();
}

std::string OutBuffer::Take() {
  buffer_.resize(Size());  // shrinking keeps the memory: nothing is copied
  std::string text = std::move(buffer_);
  buffer_.clear();
  cursor_ = buffer_.data();
  limit_ = cursor_;
  return text;
}

}  // namespace fjl::tapedata
