#include "tape/aux_download.h"

#include "tape/download_address.h"
#include "tape/flash_download.h"
#include "tape/record_walk.h"

namespace fjl::tape {
namespace {

class AuxChunkWalker : public ChunkWalker {
 public:
  AuxChunkWalker(AuxImage& image, const DownloadContext& context)
      : image_(image), context_(context), counters_(context.Counters, kAuxCounterBoxes) {}

  void ResetCounters() { counters_.Reset(); }

  std::optional<DownloadOutcome> AfterChunk(std::int64_t bytes_stored) override {
    std::optional<CounterFault> fault;
    const auto outcome = walk_.Pass(image_, bytes_stored, [&](std::uint8_t kind) {
      fault = counters_.CountRecord(kind);
      return !fault;
    });
    switch (outcome) {
      case AuxWalk::Outcome::NeedMoreBytes:
        return std::nullopt;
      case AuxWalk::Outcome::EndOfData:
        return DownloadOutcome::Success;
      case AuxWalk::Outcome::Unframable:
        context_.Messages.ShowMessage(
            ZeroLengthRecordMessage(kAuxArea.first_address + walk_.Position()));
        return DownloadOutcome::UnknownRecord;
      case AuxWalk::Outcome::Interrupted:
        break;
    }
    context_.Messages.ShowError(CounterFaultMessage(*fault, kAuxCounterBoxes));
    return DownloadOutcome::CounterNotNumber;
  }

 private:
  AuxImage& image_;
  const DownloadContext& context_;
  RecordCounters counters_;
  AuxWalk walk_;
};

}  // namespace

std::string ZeroLengthRecordMessage(std::int64_t address) {
  return "Запись нулевой длины по адресу " + FlashAddressText(address) +
         ". Чтение данных остановлено.";
}

DownloadOutcome AuxDownload(std::string_view password, AuxImage& image,
                            const DownloadContext& context, std::int64_t already_stored) {
  AuxChunkWalker walker(image, context);
  // As in step 1: a retry counts this area afresh instead of on top of the failed attempt.
  walker.ResetCounters();
  return RunFlashDownload(kAuxArea, image, password, context, walker, already_stored);
}

}  // namespace fjl::tape
