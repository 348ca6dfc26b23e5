#pragma once
// The incremental record walk of the auxiliary download. Records open with
// their length byte; the byte after it is the kind, 255 ending the area.

#include <algorithm>
#include <cstdint>

#include "tape/flash_image.h"

namespace fjl::tape {

inline constexpr std::uint8_t kAuxEndMarker = 255;

class AuxWalk {
 public:
  enum class Outcome {
    AuxComplete,    // the record at Position() carries the end kind
    NeedMoreBytes,  // the record at Position() is not wholly received yet
    ZeroLength,     // the length byte at Position() is 0: the walk cannot advance
    Interrupted,    // on_record asked to stop
  };

  // Walks the records of image[0, received), handing each complete one to
  // on_record(kind). The end test comes before the completeness test, but it
  // waits for the kind byte itself: the image beyond `received` may still
  // hold an earlier download's bytes, and a stale 255 there must not end this one.
  template <class OnRecord>
  Outcome Pass(const AuxImage& image, std::int64_t received, OnRecord&& on_record) {
    received = std::min<std::int64_t>(received, static_cast<std::int64_t>(image.Size()));
    while (position_ + 1 < received) {
      const std::uint8_t length = image[static_cast<std::size_t>(position_)];
      const std::uint8_t kind = image[static_cast<std::size_t>(position_ + 1)];
      if (kind == kAuxEndMarker) return Outcome::AuxComplete;
      if (length == 0) return Outcome::ZeroLength;
      if (position_ + length >= received) return Outcome::NeedMoreBytes;
      if (!on_record(kind)) return Outcome::Interrupted;
      position_ += length;
    }
    return Outcome::NeedMoreBytes;
  }

  std::int64_t Position() const { return position_; }

 private:
  std::int64_t position_ = 0;
};

}  // namespace fjl::tape
