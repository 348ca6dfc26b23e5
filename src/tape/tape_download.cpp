#include "tape/tape_download.h"

#include "tape/download_address.h"
#include "tape/download_messages.h"
#include "tape/flash_download.h"
#include "tape/record_walk.h"

namespace fjl::tape {
namespace {

class TapeChunkWalker : public ChunkWalker {
 public:
  TapeChunkWalker(TapeData& tape, const DownloadContext& context)
      : tape_(tape), context_(context), counters_(context.Counters, kTapeCounterBoxes) {}

  void ResetCounters() { counters_.Reset(); }

  void DataEnded(std::int64_t bytes_stored) override {
    // Every whole record that came is counted and restored, the last one
    // too; a record cut off by the end of the data is not.
    walk_.Pass(
        tape_.Image, bytes_stored, [&](std::uint8_t type) { return !counters_.CountRecord(type); }, true);
    tape_.TapeLength = walk_.Position();
    tape_.EndMarkerFound = false;
    context_.Messages.ShowMessage(kMsgNoEndMarker);
  }

  std::optional<DownloadOutcome> AfterChunk(std::int64_t bytes_stored) override {
    std::optional<CounterFault> fault;
    const auto outcome = walk_.Pass(tape_.Image, bytes_stored, [&](std::uint8_t type) {
      fault = counters_.CountRecord(type);
      return !fault;
    });
    switch (outcome) {
      case TapeWalk::Outcome::NeedMoreBytes:
        return std::nullopt;
      case TapeWalk::Outcome::EndOfData:
        tape_.TapeLength = walk_.Position();
        tape_.EndMarkerFound = true;
        return DownloadOutcome::Success;
      case TapeWalk::Outcome::Unframable: {
        const std::int64_t position = walk_.Position();
        context_.Messages.ShowMessage(UnknownRecordTypeMessage(
            tape_.Image[static_cast<std::size_t>(position)], kTapeArea.first_address + position));
        return DownloadOutcome::UnknownRecord;
      }
      case TapeWalk::Outcome::Interrupted:
        break;
    }
    context_.Messages.ShowError(CounterFaultMessage(*fault, kTapeCounterBoxes));
    return DownloadOutcome::CounterNotNumber;
  }

 private:
  TapeData& tape_;
  const DownloadContext& context_;
  RecordCounters counters_;
  TapeWalk walk_;
};

}  // namespace

std::string UnknownRecordTypeMessage(std::uint8_t type, std::int64_t address) {
  return "Неизвестный тип записи " + std::to_string(type) + " по адресу " +
         FlashAddressText(address) + ". Чтение данных остановлено.";
}

void FrameStoredTape(TapeData& tape, std::int64_t stored) {
  TapeWalk walk;
  const auto outcome = walk.Pass(
      tape.Image, stored, [](std::uint8_t) { return true; }, true);
  tape.EndMarkerFound = outcome == TapeWalk::Outcome::EndOfData;
  tape.TapeLength = walk.Position();
}

DownloadOutcome TapeDownload(std::string_view password, TapeData& tape,
                             const DownloadContext& context, std::int64_t already_stored) {
  TapeChunkWalker walker(tape, context);
  // A retry after a failed download starts from the first address again; the
  // counts of the failed attempt would otherwise be counted twice.
  walker.ResetCounters();
  // The image is read afresh: nothing of an earlier download's end stands.
  tape.TapeLength = 0;
  tape.EndMarkerFound = false;
  return RunFlashDownload(kTapeArea, tape.Image, password, context, walker, already_stored);
}

}  // namespace fjl::tape
