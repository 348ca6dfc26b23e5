#pragma once
// The request cycle both downloads share: read a flash window chunk by chunk
// with command 241, store each chunk's bytes, let the caller's walk frame
// them, and report the first fault.

#include <cstdint>
#include <optional>
#include <string_view>

#include "tape/download_view.h"
#include "tape/flash_image.h"

namespace fjl::tape {

class ChunkWalker {
 public:
  virtual ~ChunkWalker() = default;
  // Called after each chunk has been stored. nullopt: read on. Success: the
  // end of the data was met. Any failure: the walker has shown its message.
  virtual std::optional<DownloadOutcome> AfterChunk(std::int64_t bytes_stored) = 0;
  // The printer stopped sending (a short reply) or the window was read to
  // its end before AfterChunk met the end of the data. Called just before
  // the success message.
  virtual void DataEnded(std::int64_t bytes_stored) { (void)bytes_stored; }
};

// The data text of one request: password, ";", the address in decimal, ";".
// The password is sent as it is (Windows-1251 bytes).
std::string FlashReadData(std::string_view password, std::int64_t address);

// `already_stored`: bytes of the window's start that the image holds from
// an earlier, interrupted download; the walk takes them first and the
// requests go on from the address after them.
DownloadOutcome RunFlashDownload(const FlashArea& area, FlashImage& image,
                                 std::string_view password, const DownloadContext& context,
                                 ChunkWalker& walker, std::int64_t already_stored = 0);

}  // namespace fjl::tape
