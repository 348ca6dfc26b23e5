#include "wizard/kept_download.h"

#include <system_error>

#include "dump/dump_folder.h"
#include "dump/kept_downloads.h"
#include "dump/resume_proof.h"
#include "dump/stored_check.h"
#include "tape/download_address.h"

namespace fjl::wizard {

std::string ResumedMessage(std::int64_t address, std::int64_t bytes) {
  return "Чтение продолжено с адреса " + tape::FlashAddressText(address) + ": " + std::to_string(bytes) +
         " байт прочитаны ранее.";
}

std::string StoppedMessage(std::int64_t bytes, std::string_view button, bool kept) {
  std::string text = "Чтение остановлено: прочитано " + std::to_string(bytes) + " байт.";
  if (kept) text += " Следующее нажатие «" + std::string(button) + "» продолжит чтение с этого места.";
  return text;
}

KeptDownload::~KeptDownload() = default;

// The folder is this program's while it keeps a download there: the lock is
// held from the first press to the end of the run, or until another
// printer's folder is needed.
bool KeptDownload::LockFolder(const std::filesystem::path& folder) {
  if (lock_ && folder == folder_) return true;
  lock_ = std::make_unique<platform::FileLock>();
  folder_ = folder;
  if (lock_->Acquire((folder / dump::kLockFileName).string())) return true;
  lock_.reset();
  return false;
}

void KeptDownload::Start(const std::filesystem::path& folder, dump::DumpState state) {
  recorder_ = std::make_unique<dump::DumpRecorder>(folder, std::move(state));
}

std::optional<std::int64_t> KeptDownload::BeginTape(link::Exchanger& printer, std::string_view password,
                                                    std::int32_t speed, tape::TapeImage& tape, tape::AuxImage& aux,
                                                    MessageSink& messages) {
  recorder_.reset();
  serial_.clear();
  if (root_.empty()) return 0;
  const std::string serial = dump::ReadSerialNumber(printer, password);
  serial_ = serial;
  const std::filesystem::path folder = dump::KeptDownloadFolder(root_, serial);
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!LockFolder(folder)) {
    messages.ShowMessage(kMsgKeptBusy);
    return 0;
  }
  dump::PruneKeptDownloads(root_, folder);

  platform::Result<dump::DumpState> kept = dump::LoadState(folder);
  const bool loaded = kept && dump::LoadImage(folder, dump::DumpArea::Tape, kept->tape, tape.MutableBytes()) &&
                      dump::LoadImage(folder, dump::DumpArea::Aux, kept->aux, aux.MutableBytes());
  dump::DumpState fresh{dump::NewDumpId(), serial, speed, dump::DumpArea::Tape, {}, {}};
  if (kept && loaded && kept->area != dump::DumpArea::Done) {
    const dump::ResumeProof proof = dump::ProveKeptDownload(printer, password, serial, *kept, tape, aux);
    if (proof.outcome == dump::ResumeProof::Outcome::NoAnswer) {
      messages.ShowMessage(kMsgKeptUnchecked);
      return std::nullopt;
    }
    const bool aux_changed = proof.outcome == dump::ResumeProof::Outcome::Changed && proof.area == dump::DumpArea::Aux;
    if (proof.Proven() || aux_changed) {
      if (aux_changed) {
        messages.ShowMessage(kMsgAuxChanged);
        kept->aux = {};
      }
      kept->speed = speed;
      if (kept->serial.empty()) kept->serial = serial;
      const std::int64_t from = dump::ResumePointsOf(*kept).tape;
      if (from > 0 && !kept->tape.complete) {
        messages.ShowMessage(ResumedMessage(tape::kTapeArea.first_address + from, from));
      }
      Start(folder, *kept);
      return from;
    }
    messages.ShowMessage(kMsgTapeChanged);
  } else if (kept && !loaded) {
    messages.ShowMessage(kMsgKeptDamaged);
  } else if (!kept && std::filesystem::exists(folder / dump::kStateFileName, ec)) {
    messages.ShowMessage(kMsgKeptDamaged);
  }
  if (!dump::ClearDump(folder)) return 0;
  Start(folder, fresh);
  return 0;
}

std::optional<std::int64_t> KeptDownload::BeginAux(link::Exchanger& printer, std::string_view password,
                                                   const tape::AuxImage& aux, MessageSink& messages) {
  if (!recorder_) return 0;
  const dump::DumpState& state = recorder_->State();
  const std::int64_t from = dump::ResumePointsOf(state).aux;
  if (from == 0) return 0;
  const dump::StoredCheck check = dump::CheckStoredBytes(printer, password, tape::kAuxArea,
                                                         aux.Bytes().first(static_cast<std::size_t>(from)),
                                                         state.aux.last_chunk);
  if (check.outcome == dump::StoredCheck::Outcome::NoAnswer) {
    messages.ShowMessage(kMsgKeptUnchecked);
    return std::nullopt;
  }
  if (check.outcome == dump::StoredCheck::Outcome::Changed) {
    messages.ShowMessage(kMsgAuxChanged);
    return 0;
  }
  if (!state.aux.complete) messages.ShowMessage(ResumedMessage(tape::kAuxArea.first_address + from, from));
  return from;
}

tape::DownloadView& KeptDownload::Watch(dump::DumpArea area, const tape::FlashImage& image, std::int64_t from,
                                        tape::DownloadView& inner) {
  tap_.inner = recorder_ ? &recorder_->BeginArea(area, image, from, inner) : &inner;
  tap_.stored = from;
  return tap_;
}

void KeptDownload::EndArea(bool complete) {
  if (recorder_) recorder_->EndArea(complete);
}

link::Exchanger& KeptDownload::Recording(link::Exchanger& printer) {
  return recorder_ ? recorder_->Recording(printer) : printer;
}

}  // namespace fjl::wizard
