#pragma once
// The incremental record walk of the tape download. Each pass resumes where
// the previous one stopped, so a whole download walks the image once.

#include <algorithm>
#include <cstdint>

#include "tape/flash_image.h"
#include "tape/record_types.h"

namespace fjl::tape {

class TapeWalk {
 public:
  enum class Outcome {
    TapeComplete,   // the end marker is at Position()
    NeedMoreBytes,  // the record at Position() is not wholly received yet
    UnknownType,    // the type byte at Position() has no length: nothing after it can be framed
    Interrupted,    // on_record asked to stop; Position() is the record it refused
  };

  // Walks the records of image[0, received). A record is handed to
  // on_record(type) only once the byte after it has arrived too, because the
  // download cannot tell yet whether the last byte it holds ends the tape;
  // once the printer has sent all it will (`data_ended`), a record that
  // ends exactly at `received` is whole and handed on as well.
  // on_record returns false to stop the walk.
  template <class OnRecord>
  Outcome Pass(const TapeImage& image, std::int64_t received, OnRecord&& on_record, bool data_ended = false) {
    received = std::min<std::int64_t>(received, static_cast<std::int64_t>(image.Size()));
    while (position_ < received) {
      const std::uint8_t type = image[static_cast<std::size_t>(position_)];
      const std::uint8_t length = RecordLength(type);
      if (type == kTapeEndMarker) return Outcome::TapeComplete;
      if (length == 0) return Outcome::UnknownType;
      if (position_ + length > received || (position_ + length == received && !data_ended)) {
        return Outcome::NeedMoreBytes;
      }
      if (!on_record(type)) return Outcome::Interrupted;
      position_ += length;
    }
    return Outcome::NeedMoreBytes;
  }

  std::int64_t Position() const { return position_; }

 private:
  std::int64_t position_ = 0;
};

}  // namespace fjl::tape
