#pragma once
// Byte images of the two flash areas the program downloads. Each image is
// as large as its whole address window, so every byte the printer can send
// for that window has a place and nothing is ever dropped or written outside.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace fjl::tape {

// A flash address window, end exclusive.
struct FlashArea {
  std::int64_t first_address;
  std::int64_t end_address;
  constexpr std::int64_t Size() const { return end_address - first_address; }
};

inline constexpr FlashArea kTapeArea{0x10005BB7, 0x10200000};  // 2,073,673 bytes
inline constexpr FlashArea kAuxArea{0x5EE55, 0x200000};        // 1,708,459 bytes

class FlashImage {
 public:
  std::size_t Size() const { return bytes_.size(); }
  // Unchecked, for walks that already keep inside Size().
  std::uint8_t operator[](std::size_t index) const { return bytes_[index]; }
  // The byte at `index`, or 0 outside the image.
  std::uint8_t At(std::int64_t index) const;
  // Whether [index, index + count) lies wholly inside the image.
  bool Contains(std::int64_t index, std::int64_t count) const;
  std::span<const std::uint8_t> Bytes() const { return bytes_; }
  std::span<std::uint8_t> MutableBytes() { return bytes_; }

 protected:
  explicit FlashImage(std::size_t capacity) : bytes_(capacity, 0) {}

 private:
  std::vector<std::uint8_t> bytes_;
};

// Index i holds the byte of flash address kTapeArea.first_address + i.
class TapeImage : public FlashImage {
 public:
  TapeImage() : FlashImage(static_cast<std::size_t>(kTapeArea.Size())) {}
};

// Index i holds the byte of flash address kAuxArea.first_address + i.
class AuxImage : public FlashImage {
 public:
  AuxImage() : FlashImage(static_cast<std::size_t>(kAuxArea.Size())) {}
};

// What the step 1 window keeps of the tape for the later steps.
struct TapeData {
  TapeImage Image;
  // Index of the end marker, or, when the printer stopped sending before
  // it, the end of the last whole record that arrived. The restoration
  // walks [0, TapeLength).
  std::int64_t TapeLength = 0;
  // False after a download that ended without meeting the end marker: the
  // tape restored from it may lack its last records.
  bool EndMarkerFound = false;
};

}  // namespace fjl::tape
