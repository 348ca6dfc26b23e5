#include "tape/flash_download.h"

#include <algorithm>
#include <optional>
#include <string>

#include "link/read_commands.h"
#include "tape/download_messages.h"
#include "tape/flash_reply.h"
#include "text/cp1251.h"

namespace fjl::tape {
namespace {

DownloadOutcome Fail(MessageSink& messages, std::string_view text, DownloadOutcome outcome) {
  messages.ShowMessage(text);
  return outcome;
}

}  // namespace

std::string FlashReadData(std::string_view password, std::int64_t address) {
  std::string data(password);
  data += ';';
  data += std::to_string(address);
  data += ';';
  return data;
}

namespace {

// The failure a reply stands for, with its message shown, or nothing when
// the printer answered "0000". A NAK or a garbled frame says nothing
// trustworthy about the printer, so like a missing reply it leaves the
// boxes as they were.
std::optional<DownloadOutcome> ReplyFault(const link::DeviceResponse& reply, const DownloadContext& context) {
  MessageSink& messages = context.Messages;
  if (reply.LineGone()) return Fail(messages, kMsgLineGone, DownloadOutcome::Timeout);
  if (reply.NoReply()) return Fail(messages, kMsgTimeout, DownloadOutcome::Timeout);
  if ((reply.Status & link::StatusNak) != 0) return Fail(messages, kMsgNak, DownloadOutcome::LinkError);
  if ((reply.Status & link::StatusBadChecksum) != 0) {
    return Fail(messages, kMsgBadChecksum, DownloadOutcome::LinkError);
  }
  context.View.SetResult(text::Cp1251ToUtf8(reply.ErrorCode));
  context.View.SetStatus(StatusBytesText(reply.StatusBytes));
  if (reply.ErrorCode != "0000") return Fail(messages, kMsgFlashReadError, DownloadOutcome::DeviceError);
  return std::nullopt;
}

// The success of a download whose walk met the end of its data.
DownloadOutcome Done(const DownloadContext& context) {
  context.Messages.ShowMessage(kMsgDownloadDone);
  return DownloadOutcome::Success;
}

}  // namespace

DownloadOutcome RunFlashDownload(const FlashArea& area, FlashImage& image,
                                 std::string_view password, const DownloadContext& context,
                                 ChunkWalker& walker, std::int64_t already_stored) {
  MessageSink& messages = context.Messages;
  const std::span<std::uint8_t> bytes = image.MutableBytes();
  std::int64_t stored =
      std::clamp<std::int64_t>(already_stored, 0, std::min<std::int64_t>(area.Size(), static_cast<std::int64_t>(bytes.size())));
  std::int64_t address = area.first_address + stored;
  if (stored > 0) {
    context.View.ShowProgress(stored, area.Size());
    if (const auto verdict = walker.AfterChunk(stored)) return Succeeded(*verdict) ? Done(context) : *verdict;
  }

  while (address < area.end_address) {
    // What was stored stays, as after any other fault.
    if (StopRequested(context.Stop)) return DownloadOutcome::Cancelled;
    const link::DeviceResponse& reply =
        context.Link.Exchange(link::kCmdFlashRead, FlashReadData(password, address));
    context.LastResponse = reply;
    if (const auto fault = ReplyFault(reply, context)) return *fault;

    // A successful reply without its count is malformed: an empty data part
    // leaves the previous reply's fields in place, and they must not be
    // taken for this chunk.
    if (reply.FieldCount < 1) return Fail(messages, kMsgBadData, DownloadOutcome::BadData);
    const std::optional<std::int64_t> parsed = ParseChunkCount(reply.Fields[0]);
    if (!parsed) return Fail(messages, kMsgBadData, DownloadOutcome::BadData);
    const std::int64_t count = *parsed;
    // A short reply ends the download and its bytes are not kept.
    if (count < kShortChunk) break;
    if (reply.FieldCount < 2) return Fail(messages, kMsgBadData, DownloadOutcome::BadData);

    // Bytes announced beyond the window's end belong to no area this
    // program reads; the image ends with the window.
    const std::int64_t room = std::min<std::int64_t>(
        area.end_address - address, static_cast<std::int64_t>(bytes.size()) - stored);
    const auto take = static_cast<std::size_t>(std::clamp<std::int64_t>(count, 0, room));
    const std::size_t decoded =
        DecodeHexBytes(reply.Fields[1], bytes.subspan(static_cast<std::size_t>(stored), take));
    if (decoded != take) return Fail(messages, kMsgBadData, DownloadOutcome::BadData);

    address += count;
    stored += static_cast<std::int64_t>(take);
    context.View.ShowProgress(stored, area.Size());
    if (const auto verdict = walker.AfterChunk(stored)) return Succeeded(*verdict) ? Done(context) : *verdict;
  }
  // A short reply or the window's end, before the walk met its end.
  walker.DataEnded(stored);
  return Done(context);
}

}  // namespace fjl::tape
