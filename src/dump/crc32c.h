#pragma once
// CRC-32C (Castagnoli), the digest a dump keeps of each stored image. It is
// kept running as chunks are appended, so the state file always holds the
// digest of exactly the bytes it promises, and a resume or an offline
// restoration can prove an image is the one the download stored.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace fjl::dump {

class Crc32c {
 public:
  void Add(std::span<const std::uint8_t> bytes);
  std::uint32_t Value() const { return ~state_; }

 private:
  std::uint32_t state_ = 0xFFFFFFFFu;
};

std::uint32_t Crc32cOf(std::span<const std::uint8_t> bytes);

// Eight upper-case hexadecimal digits, as the state file writes it.
std::string DigestText(std::uint32_t digest);
std::optional<std::uint32_t> ParseDigest(std::string_view text);

}  // namespace fjl::dump
