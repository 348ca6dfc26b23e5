#include "dump/stored_check.h"

#include <algorithm>
#include <array>
#include <optional>

#include "link/read_commands.h"
#include "tape/flash_download.h"
#include "tape/flash_reply.h"
#include "text/cp1251.h"

namespace fjl::dump {
namespace {

// Why a read gave nothing to compare, or nothing when it gave bytes.
std::optional<std::string> ReadFault(const link::DeviceResponse& reply) {
  if (reply.LineGone()) return "the port went away";
  if (reply.NoReply()) return "the printer did not answer";
  if ((reply.Status & (link::StatusNak | link::StatusBadChecksum)) != 0) return "the reply was garbled";
  if (reply.ErrorCode != "0000") return "the printer answered with error " + text::Cp1251ToUtf8(reply.ErrorCode);
  return std::nullopt;
}

}  // namespace

std::vector<std::int64_t> CheckOffsets(std::int64_t length, std::int64_t chunk) {
  std::vector<std::int64_t> offsets;
  if (length <= 0) return offsets;
  chunk = chunk > 0 ? std::min(chunk, tape::kMaxChunkCount) : tape::kMaxChunkCount;
  const std::int64_t last = std::max<std::int64_t>(0, length - chunk);
  const std::int64_t spread = kCheckReadsPerArea - 1;
  if (last <= spread * chunk) {
    for (std::int64_t offset = 0; offset < last; offset += chunk) offsets.push_back(offset);
  } else {
    for (std::int64_t i = 0; i < spread; ++i) offsets.push_back(last * i / spread);
  }
  offsets.push_back(last);
  return offsets;
}

StoredCheck CheckStoredBytes(link::Exchanger& printer, std::string_view password, const tape::FlashArea& area,
                             std::span<const std::uint8_t> stored, std::int64_t chunk) {
  StoredCheck check;
  const auto length = static_cast<std::int64_t>(stored.size());
  std::array<std::uint8_t, tape::kMaxChunkCount> now{};
  for (const std::int64_t offset : CheckOffsets(length, chunk)) {
    const std::int64_t address = area.first_address + offset;
    const link::DeviceResponse& reply =
        printer.Exchange(link::kCmdFlashRead, tape::FlashReadData(password, address));
    ++check.reads;
    if (std::optional<std::string> fault = ReadFault(reply)) {
      return {StoredCheck::Outcome::NoAnswer, address, std::move(*fault), check.reads};
    }
    const std::optional<std::int64_t> count =
        reply.FieldCount >= 1 ? tape::ParseChunkCount(reply.Fields[0]) : std::nullopt;
    if (!count) return {StoredCheck::Outcome::NoAnswer, address, "the reply held no byte count", check.reads};
    const std::int64_t wanted = std::min(tape::kMaxChunkCount, length - offset);
    // A short reply says the printer's data end here: it holds less than was stored.
    if (*count < wanted && *count < tape::kShortChunk) return {StoredCheck::Outcome::Changed, address + *count, {}, check.reads};
    const auto compared = static_cast<std::size_t>(std::min(*count, wanted));
    if (tape::DecodeHexBytes(reply.Field(1), std::span(now).first(compared)) != compared) {
      return {StoredCheck::Outcome::NoAnswer, address, "the reply's bytes were malformed", check.reads};
    }
    const auto kept = stored.subspan(static_cast<std::size_t>(offset), compared);
    const auto differ = std::mismatch(kept.begin(), kept.end(), now.begin());
    if (differ.first != kept.end()) {
      return {StoredCheck::Outcome::Changed, address + (differ.first - kept.begin()), {}, check.reads};
    }
  }
  return check;
}

}  // namespace fjl::dump
