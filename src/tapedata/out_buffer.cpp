#include "tapedata/out_buffer.h"

#include <algorithm>

namespace fjl::tapedata {

OutBuffer::OutBuffer(std::size_t reserve) {
  buffer_.resize(reserve);
  cursor_ = buffer_.data();
  limit_ = cursor_ + buffer_.size();
}

void OutBuffer::Grow(std::size_t bytes) {
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
