#pragma once
// Every download of the wizard is kept as it arrives in the user's folder
// of kept downloads, one folder per printer, so no break costs more than
// the chunk in flight: the next press of a read button, in this run or in
// one days later, goes on where the download stopped once the printer is
// proven to hold what was kept. A printer whose tape changed meanwhile
// starts afresh, and the user is told why.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "dump/dump_recorder.h"
#include "link/exchanger.h"
#include "platform/file_lock.h"
#include "tape/download_view.h"
#include "tape/flash_image.h"
#include "user/message_sink.h"

namespace fjl::wizard {

// What the user is told about a kept download.
inline constexpr std::string_view kMsgTapeChanged = "Лента в регистраторе изменилась, чтение начато заново";
inline constexpr std::string_view kMsgAuxChanged =
    "Вспомогательные параметры в регистраторе изменились, они будут прочитаны заново";
inline constexpr std::string_view kMsgKeptDamaged = "Сохранённое чтение повреждено, чтение начато заново";
inline constexpr std::string_view kMsgKeptUnchecked =
    "Регистратор не ответил при сверке сохранённого чтения. Сохранённое чтение не тронуто.";
inline constexpr std::string_view kMsgKeptBusy =
    "Папку сохранённых чтений этого регистратора занимает другая программа: чтение не сохраняется.";
// "Чтение продолжено с адреса 0x10011223: 45000 байт прочитаны ранее."
std::string ResumedMessage(std::int64_t address, std::int64_t bytes);
// "Чтение остановлено: прочитано 45000 байт. Следующее нажатие
// «Читать эл. контр. ленту» продолжит чтение с этого места."
std::string StoppedMessage(std::int64_t bytes, std::string_view button, bool kept);

class KeptDownload {
 public:
  // `root`: the user's folder of kept downloads; empty keeps nothing.
  explicit KeptDownload(std::filesystem::path root) : root_(std::move(root)) {}
  KeptDownload(const KeptDownload&) = delete;
  KeptDownload& operator=(const KeptDownload&) = delete;
  ~KeptDownload();

  bool Keeping() const { return recorder_ != nullptr; }
  // Bytes of the area the last watched download had stored when it ended.
  std::int64_t LastStored() const { return tap_.stored; }
  // The printer's serial number as the latest download read it; empty when
  // it was not read or the printer refused it.
  const std::string& Serial() const { return serial_; }

  // Before step 1's download: finds the printer's folder by its serial
  // number and goes on with what it keeps (its bytes loaded into the
  // images) when the printer still holds them, or begins afresh. Where the
  // tape goes on; nullopt when nothing may start (the check went unanswered;
  // its message is shown).
  std::optional<std::int64_t> BeginTape(link::Exchanger& printer, std::string_view password, std::int32_t speed,
                                        tape::TapeImage& tape, tape::AuxImage& aux, MessageSink& messages);
  // Before step 2's download: where the auxiliary area goes on, its kept
  // part checked again against the printer; nullopt as above.
  std::optional<std::int64_t> BeginAux(link::Exchanger& printer, std::string_view password,
                                       const tape::AuxImage& aux, MessageSink& messages);

  // The view a download reports through: every stored chunk is kept.
  tape::DownloadView& Watch(dump::DumpArea area, const tape::FlashImage& image, std::int64_t from,
                            tape::DownloadView& inner);
  void EndArea(bool complete);
  // The printer as the restoration uses it: its answers are kept too.
  link::Exchanger& Recording(link::Exchanger& printer);

 private:
  // Passes everything on and notes how far the download got.
  struct Tap final : tape::DownloadView {
    tape::DownloadView* inner = nullptr;
    std::int64_t stored = 0;
    void SetResult(std::string_view text) override { inner->SetResult(text); }
    void SetStatus(std::string_view text) override { inner->SetStatus(text); }
    void ShowProgress(std::int64_t bytes_stored, std::int64_t window_size) override {
      stored = bytes_stored;
      inner->ShowProgress(bytes_stored, window_size);
    }
  };

  void Start(const std::filesystem::path& folder, dump::DumpState state);
  bool LockFolder(const std::filesystem::path& folder);

  std::filesystem::path root_;
  std::filesystem::path folder_;  // the folder the lock is held on
  std::unique_ptr<platform::FileLock> lock_;
  std::unique_ptr<dump::DumpRecorder> recorder_;
  std::string serial_;
  Tap tap_;
};

}  // namespace fjl::wizard
