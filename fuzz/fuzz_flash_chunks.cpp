// Drives a whole tape or auxiliary download through a printer whose every
// reply comes from the input: silence, NAKs, bad checksums, error codes,
// replies without a data part, counts that disagree with their hexadecimal
// text, raw bytes for hexadecimal text, and well-formed chunks of arbitrary
// flash bytes. Now and then the user types into a counter box between two
// replies. (Reading a whole window to its end takes megabytes of replies:
// too slow to fuzz, and the download tests cover it.)
//
// Whatever comes, the download must end with exactly one message, ask only
// for addresses inside its window (rising), never write outside the image,
// keep in its image exactly the bytes the printer sent for each address,
// and, when nobody typed into the boxes, show the counts a single walk over
// the stored bytes gives: the chunk boundaries must not change what is
// framed. The tape length points at the end marker when that walk meets it;
// when the printer stopped sending first, it ends after the last whole
// record, and a warning comes before the success message.
//
// Input: one byte choosing the area, then the printer's script; each reply
// takes a mode byte and what that mode reads. An exhausted input is silence,
// so every run ends.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "link/read_commands.h"
#include "tape/aux_download.h"
#include "tape/download_view.h"
#include "tape/flash_download.h"
#include "tape/flash_image.h"
#include "tape/flash_reply.h"
#include "tape/record_counters.h"
#include "tape/record_types.h"
#include "tape/record_walk.h"
#include "tape/tape_download.h"
#include "valid_utf8.h"

namespace {

using namespace fjl;

void Require(bool condition) {
  if (!condition) std::abort();
}

class ByteSource {
 public:
  explicit ByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  std::uint8_t Next() { return position_ < bytes_.size() ? bytes_[position_++] : 0; }
  std::string Text(std::size_t length) {
    length = std::min(length, bytes_.size() - position_);
    std::string text(reinterpret_cast<const char*>(bytes_.data() + position_), length);
    position_ += length;
    return text;
  }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t position_ = 0;
};

std::string HexText(std::string_view bytes) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 0x0F];
  }
  return hex;
}

std::optional<std::uint8_t> ReferenceDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  return std::nullopt;
}

// DecodeHexBytes against a plain reading of its contract: whole pairs of
// upper-case digits, stopping at the first pair that is bad or cut short.
void CheckHexDecoding(std::string_view hex, std::size_t wanted) {
  std::vector<std::uint8_t> out(wanted, 0);
  const std::size_t decoded = tape::DecodeHexBytes(hex, out);
  std::size_t expected = 0;
  while (expected < wanted && 2 * expected + 1 < hex.size()) {
    const auto high = ReferenceDigit(hex[2 * expected]);
    const auto low = ReferenceDigit(hex[2 * expected + 1]);
    if (!high || !low) break;
    Require(out[expected] == *high * 16 + *low);
    ++expected;
  }
  Require(decoded == expected);
}

class ScriptedPrinter final : public link::Exchanger {
 public:
  ScriptedPrinter(ByteSource& source, tape::RecordCounterView& counters, std::size_t boxes,
                  const tape::FlashArea& area, std::string_view password)
      : source_(source), counters_(counters), boxes_(boxes), area_(area), password_(password) {}

  const link::DeviceResponse& Exchange(std::int32_t command, std::string_view data) override {
    Require(command == link::kCmdFlashRead);
    // The request names the next address inside the window, and addresses rise.
    const std::size_t semicolon = data.find(';');
    Require(semicolon == password_.size() && data.substr(0, semicolon) == password_);
    const std::string address_text(data.substr(semicolon + 1, data.size() - semicolon - 2));
    Require(!address_text.empty() && data.back() == ';');
    const std::int64_t address = std::stoll(address_text);
    Require(tape::FlashReadData(password_, address) == data);
    Require(address >= area_.first_address && address < area_.end_address && address > last_address_);
    last_address_ = address;
    Answer(command, data);
    if (reply_.FieldCount >= 2) Remember(address - area_.first_address, reply_.Fields[1]);
    return reply_;
  }

  // Whether image byte `index` holds what the printer sent for its address:
  // the bytes of the reply to the request at or before it, decoded by hand.
  bool Sent(std::size_t index, std::uint8_t byte) const {
    return index < sent_.size() && sent_[index] == byte;
  }

  bool typed = false;
  std::size_t hex_bytes = 0;  // image bytes the replies' hexadecimal texts hold
  link::DeviceResponse reply_;

 private:
  void Remember(std::int64_t offset, std::string_view hex) {
    const auto start = static_cast<std::size_t>(offset);
    for (std::size_t k = 0; 2 * k + 1 < hex.size(); ++k) {
      const auto high = ReferenceDigit(hex[2 * k]);
      const auto low = ReferenceDigit(hex[2 * k + 1]);
      if (!high || !low) break;
      if (sent_.size() <= start + k) sent_.resize(start + k + 1, -1);
      sent_[start + k] = *high * 16 + *low;
    }
  }

  void Answer(std::int32_t command, std::string_view data) {
    // Like the real link: a reply without a data part keeps the earlier fields.
    const auto earlier_fields = reply_.Fields;
    reply_ = link::DeviceResponse{};
    reply_.Command = command;
    reply_.SentData = std::string(data);
    const std::uint8_t mode = source_.Next();
    switch (mode % 16) {
      case 0:
        reply_.Status = link::StatusNoReply;
        return;
      case 1:
        reply_.Status = link::StatusNak;
        return;
      case 2:
        reply_.Status = link::StatusBadChecksum;
        return;
      case 3:
        reply_.ErrorCode = source_.Text(source_.Next() % 6);
        break;
      case 4:
        reply_.ErrorCode = "0000";
        reply_.Fields = earlier_fields;
        return;
      case 5:
        typed = true;
        counters_.SetCounterText(source_.Next() % boxes_, source_.Text(source_.Next() % 8));
        Chunk(mode);
        return;
      case 6:
        reply_.ErrorCode = "0000";
        reply_.FieldCount = source_.Next() % 4;
        for (int i = 0; i < reply_.FieldCount; ++i) {
          reply_.Fields[static_cast<std::size_t>(i)] = source_.Text(source_.Next() % 64);
        }
        if (reply_.FieldCount >= 2) {
          hex_bytes += reply_.Fields[1].size() / 2;
          CheckHexDecoding(reply_.Fields[1], static_cast<std::size_t>(source_.Next()));
        }
        break;
      default:
        Chunk(mode);
        return;
    }
    reply_.StatusBytes[0] = source_.Next() & 0x7F;
  }

  // A well-formed chunk of input bytes; the mode's high bits bend its count.
  void Chunk(std::uint8_t mode) {
    const std::size_t length = 40 + static_cast<std::size_t>(source_.Next()) * 2;
    const std::string bytes = source_.Text(length);
    std::int64_t count = static_cast<std::int64_t>(bytes.size());
    switch (mode >> 5) {
      case 1: count += static_cast<std::int8_t>(source_.Next()); break;
      case 2: count = 999'999'999'999; break;
      default: break;
    }
    reply_.ErrorCode = "0000";
    reply_.FieldCount = 2;
    reply_.Fields[0] = std::to_string(count);
    reply_.Fields[1] = HexText(bytes);
    hex_bytes += bytes.size();
  }

  ByteSource& source_;
  tape::RecordCounterView& counters_;
  std::size_t boxes_;
  const tape::FlashArea& area_;
  std::string_view password_;
  std::int64_t last_address_ = -1;
  std::vector<int> sent_;  // by image index; -1 where nothing was sent
};

class Counters final : public tape::RecordCounterView {
 public:
  explicit Counters(std::size_t boxes) : texts(boxes, "junk") {}
  std::string CounterText(std::size_t box) const override { return texts.at(box); }
  void SetCounterText(std::size_t box, std::string_view text) override { texts.at(box) = std::string(text); }
  std::vector<std::string> texts;
};

class View final : public tape::DownloadView {
 public:
  void SetResult(std::string_view text) override { Require(fuzzing::IsValidUtf8(text)); }
  void SetStatus(std::string_view text) override { Require(text.size() == 17); }
  void ShowProgress(std::int64_t bytes_stored, std::int64_t window_size) override {
    Require(bytes_stored >= stored && bytes_stored <= window_size);
    stored = bytes_stored;
    window = window_size;
  }
  std::int64_t stored = 0;
  std::int64_t window = 0;
};

class Messages final : public MessageSink {
 public:
  void ShowMessage(std::string_view) override { ++messages; }
  void ShowError(std::string_view) override { ++errors; }
  int messages = 0;
  int errors = 0;
};

// Counts each record a walk hands on into the boxes it belongs to.
auto BoxCounter(std::vector<std::int64_t>& counts, std::span<const tape::CounterBox> boxes) {
  return [&counts, boxes](std::uint8_t kind) {
    for (std::size_t box = 0; box < boxes.size(); ++box) {
      if (boxes[box].kind == kind || boxes[box].kind == tape::kTotalKind) ++counts[box];
    }
    return true;
  };
}

// The counts a single walk over image[0, stored) gives, box by box.
template <class Walk, class Image>
std::vector<std::int64_t> CountsOfOneWalk(Walk& walk, const Image& image, std::int64_t stored,
                                          std::span<const tape::CounterBox> boxes,
                                          typename Walk::Outcome& outcome) {
  std::vector<std::int64_t> counts(boxes.size(), 0);
  outcome = walk.Pass(image, stored, BoxCounter(counts, boxes));
  return counts;
}

// The same for a tape whose data ended without its marker: a record that
// ends with the last byte stored counts too.
std::vector<std::int64_t> CountsOfFinishedWalk(tape::TapeWalk& walk, const tape::TapeImage& image,
                                               std::int64_t stored, std::span<const tape::CounterBox> boxes) {
  std::vector<std::int64_t> counts(boxes.size(), 0);
  walk.Pass(image, stored, BoxCounter(counts, boxes), true);
  return counts;
}

void CheckCounts(const Counters& counters, const std::vector<std::int64_t>& expected) {
  for (std::size_t box = 0; box < expected.size(); ++box) {
    Require(counters.texts[box] == std::to_string(expected[box]));
  }
}

void CheckOutcomeAgainstReply(tape::DownloadOutcome outcome, const link::DeviceResponse& last) {
  using tape::DownloadOutcome;
  Require((outcome == DownloadOutcome::Timeout) == last.NoReply());
  if (outcome == DownloadOutcome::LinkError) {
    Require((last.Status & (link::StatusNak | link::StatusBadChecksum)) != 0);
  }
  if (outcome == DownloadOutcome::DeviceError) Require(last.ErrorCode != "0000");
}

// The images are large: made once, their written part cleared after each input.
tape::TapeData& Tape() {
  static const auto tape = std::make_unique<tape::TapeData>();
  return *tape;
}
tape::AuxImage& Aux() {
  static const auto aux = std::make_unique<tape::AuxImage>();
  return *aux;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool aux = (data[0] & 1) != 0;
  const std::string password = (data[0] & 2) != 0 ? "\xCF\xE0\xF0\xEE\xEB\xFC" : "0";
  ByteSource source({data + 1, size - 1});
  const std::span<const tape::CounterBox> boxes =
      aux ? std::span<const tape::CounterBox>(tape::kAuxCounterBoxes)
          : std::span<const tape::CounterBox>(tape::kTapeCounterBoxes);
  const tape::FlashArea& area = aux ? tape::kAuxArea : tape::kTapeArea;

  Counters counters(boxes.size());
  ScriptedPrinter printer(source, counters, boxes.size(), area, password);
  link::DeviceResponse last;
  View view;
  Messages messages;
  const tape::DownloadContext context{printer, last, view, counters, messages};

  tape::TapeData& tape = Tape();
  tape::AuxImage& aux_image = Aux();
  tape.TapeLength = -7;
  tape.EndMarkerFound = true;
  const tape::DownloadOutcome outcome =
      aux ? tape::AuxDownload(password, aux_image, context) : tape::TapeDownload(password, tape, context);
  const bool tape_without_marker = !aux && outcome == tape::DownloadOutcome::Success && !tape.EndMarkerFound;

  // One message for every outcome (and the warning before it for a tape
  // without its end marker); the error box only for a counter fault.
  Require(messages.messages + messages.errors == (tape_without_marker ? 2 : 1));
  Require((messages.errors == 1) == (outcome == tape::DownloadOutcome::CounterNotNumber));
  if (!printer.typed) Require(outcome != tape::DownloadOutcome::CounterNotNumber);
  Require(last.Status == printer.reply_.Status && last.ErrorCode == printer.reply_.ErrorCode &&
          last.Fields == printer.reply_.Fields);
  CheckOutcomeAgainstReply(outcome, last);
  Require(view.window == 0 || view.window == area.Size());

  const std::int64_t stored = view.stored;
  // Every stored byte is the one the printer sent for its address: nothing
  // half-decoded, shifted or left from another chunk passes for data.
  const auto image_bytes = aux ? aux_image.Bytes() : tape.Image.Bytes();
  for (std::int64_t i = 0; i < stored; ++i) {
    const auto index = static_cast<std::size_t>(i);
    Require(printer.Sent(index, image_bytes[index]));
  }
  if (aux) {
    Require(stored <= static_cast<std::int64_t>(aux_image.Size()));
    tape::AuxWalk walk;
    tape::AuxWalk::Outcome walked;
    const auto counts = CountsOfOneWalk(walk, aux_image, stored, boxes, walked);
    if (!printer.typed) {
      CheckCounts(counters, counts);
      if (walked == tape::AuxWalk::Outcome::EndOfData) Require(outcome == tape::DownloadOutcome::Success);
      if (walked == tape::AuxWalk::Outcome::Unframable) {
        Require(outcome == tape::DownloadOutcome::UnknownRecord);
      }
    }
    if (outcome == tape::DownloadOutcome::UnknownRecord) Require(walked == tape::AuxWalk::Outcome::Unframable);
  } else {
    Require(stored <= static_cast<std::int64_t>(tape.Image.Size()));
    tape::TapeWalk walk;
    tape::TapeWalk::Outcome walked;
    auto counts = CountsOfOneWalk(walk, tape.Image, stored, boxes, walked);
    if (tape_without_marker && walked == tape::TapeWalk::Outcome::NeedMoreBytes) {
      tape::TapeWalk finished;
      counts = CountsOfFinishedWalk(finished, tape.Image, stored, boxes);
      if (!printer.typed) Require(tape.TapeLength == finished.Position());
    }
    if (!printer.typed) {
      CheckCounts(counters, counts);
      if (walked == tape::TapeWalk::Outcome::EndOfData) {
        Require(outcome == tape::DownloadOutcome::Success && tape.TapeLength == walk.Position());
      }
      if (walked == tape::TapeWalk::Outcome::Unframable) {
        Require(outcome == tape::DownloadOutcome::UnknownRecord);
      }
    }
    if (outcome == tape::DownloadOutcome::UnknownRecord) {
      Require(walked == tape::TapeWalk::Outcome::Unframable);
    }
    // A failed download leaves no length; a marker that was met is pointed
    // at; a tape without one ends within what was stored.
    if (outcome != tape::DownloadOutcome::Success) {
      Require(tape.TapeLength == 0 && !tape.EndMarkerFound);
    } else if (tape.EndMarkerFound) {
      Require(tape.TapeLength >= 0 && tape.TapeLength < stored);
      Require(tape.Image[static_cast<std::size_t>(tape.TapeLength)] == tape::kTapeEndMarker);
    } else {
      Require(tape.TapeLength >= 0 && tape.TapeLength <= stored);
    }
  }

  // No byte can have been written beyond what the replies carried.
  const std::size_t written = std::min(printer.hex_bytes, aux ? aux_image.Size() : tape.Image.Size());
  auto bytes = aux ? aux_image.MutableBytes() : tape.Image.MutableBytes();
  std::fill(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(written), std::uint8_t{0});
  return 0;
}
