#pragma once
// The incremental record walk both downloads frame their area by. Each pass
// resumes where the previous one stopped, so a whole download walks its
// image once. The two areas differ only in how a record opens:
//
//   tape       the type byte; the record's length comes from the length
//              table, and type 255 ends the tape;
//   auxiliary  a length byte, then the kind byte; kind 255 ends the area.

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "tape/flash_image.h"
#include "tape/record_types.h"

namespace fjl::tape {

inline constexpr std::uint8_t kAuxEndMarker = 255;

// What opens a record: the byte the counters go by, and the whole record's
// length (0 when nothing can frame it).
struct RecordHead {
  std::uint8_t kind;
  std::uint8_t length;
};

struct TapeFraming {
  using Image = TapeImage;
  static constexpr std::int64_t kHeadBytes = 1;
  static constexpr std::uint8_t kEndKind = kTapeEndMarker;
  static RecordHead HeadAt(const Image& image, std::size_t at) {
    const std::uint8_t type = image[at];
    return {type, RecordLength(type)};
  }
};

struct AuxFraming {
  using Image = AuxImage;
  static constexpr std::int64_t kHeadBytes = 2;
  static constexpr std::uint8_t kEndKind = kAuxEndMarker;
  static RecordHead HeadAt(const Image& image, std::size_t at) { return {image[at + 1], image[at]}; }
};

template <class Framing>
class RecordWalk {
 public:
  enum class Outcome {
    EndOfData,      // the record at Position() carries the end kind
    NeedMoreBytes,  // the record at Position() is not wholly received yet
    Unframable,     // the record at Position() has no length: nothing after it can be framed
    Interrupted,    // on_record asked to stop; Position() is the record it refused
  };

  // Walks the records of image[0, received), handing each whole one to
  // on_record(kind); on_record returns false to stop the walk.
  //
  // The end test waits for the record's whole head, kind byte included: the
  // image beyond `received` may still hold an earlier download's bytes, and
  // a stale 255 there must not end this one. A record is handed on only
  // once the byte after it has arrived too, because the download cannot
  // tell yet whether the last byte it holds ends the data; once the printer
  // has sent all it will (`data_ended`), a record that ends exactly at
  // `received` is whole and handed on as well.
  template <class OnRecord>
  Outcome Pass(const typename Framing::Image& image, std::int64_t received, OnRecord&& on_record,
               bool data_ended = false) {
    received = std::min<std::int64_t>(received, static_cast<std::int64_t>(image.Size()));
    while (position_ + Framing::kHeadBytes <= received) {
      const RecordHead head = Framing::HeadAt(image, static_cast<std::size_t>(position_));
      if (head.kind == Framing::kEndKind) return Outcome::EndOfData;
      if (head.length == 0) return Outcome::Unframable;
      const std::int64_t next = position_ + head.length;
      if (next > received || (next == received && !data_ended)) return Outcome::NeedMoreBytes;
      if (!on_record(head.kind)) return Outcome::Interrupted;
      position_ = next;
    }
    return Outcome::NeedMoreBytes;
  }

  std::int64_t Position() const { return position_; }

 private:
  std::int64_t position_ = 0;
};

using TapeWalk = RecordWalk<TapeFraming>;
using AuxWalk = RecordWalk<AuxFraming>;

}  // namespace fjl::tape
