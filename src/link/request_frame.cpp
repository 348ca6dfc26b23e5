#include "link/request_frame.h"

#include <array>
#include <cassert>

namespace fjl::link {

std::uint8_t SequenceByte(std::uint8_t counter) {
  return static_cast<std::uint8_t>(0x20 + counter % 95);
}

std::uint32_t FrameSum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (std::uint8_t b : bytes) sum += b;
  return sum;
}

void WriteChecksumCharacters(std::uint32_t sum, std::span<std::uint8_t, 4> out) {
  for (std::size_t i = 0; i < 4; ++i) {
    const unsigned shift = static_cast<unsigned>(12 - 4 * i);
    out[i] = static_cast<std::uint8_t>(0x30 + ((sum >> shift) & 0x0F));
  }
}

std::string BuildRequestFrame(std::uint8_t sequence_byte, std::uint8_t command,
                              std::string_view data) {
  assert(data.size() <= kMaxFrameData);
  const std::size_t n = data.size();
  std::string frame;
  frame.reserve(n + 10);
  frame.push_back(static_cast<char>(kSoh));
  frame.push_back(static_cast<char>(0x20 + n + 4));
  frame.push_back(static_cast<char>(sequence_byte));
  frame.push_back(static_cast<char>(command));
  frame.append(data);
  frame.push_back(static_cast<char>(kEnq));

  const auto* bytes = reinterpret_cast<const std::uint8_t*>(frame.data());
  const std::uint32_t sum = FrameSum(std::span<const std::uint8_t>(bytes + 1, n + 4));
  std::array<std::uint8_t, 4> bcc{};
  WriteChecksumCharacters(sum, bcc);
  for (std::uint8_t c : bcc) frame.push_back(static_cast<char>(c));
  frame.push_back(static_cast<char>(kEtx));
  return frame;
}

}  // namespace fjl::link
