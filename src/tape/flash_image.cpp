#include "tape/flash_image.h"

namespace fjl::tape {

std::uint8_t FlashImage::At(std::int64_t index) const {
  if (index < 0 || static_cast<std::uint64_t>(index) >= bytes_.size()) return 0;
  return bytes_[static_cast<std::size_t>(index)];
}

bool FlashImage::Contains(std::int64_t index, std::int64_t count) const {
  if (index < 0 || count < 0) return false;
  const auto size = static_cast<std::uint64_t>(bytes_.size());
  const auto first = static_cast<std::uint64_t>(index);
  return first <= size && static_cast<std::uint64_t>(count) <= size - first;
}

}  // namespace fjl::tape
