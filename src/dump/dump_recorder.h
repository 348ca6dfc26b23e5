#pragma once
// A dump folder kept up to date while the CLI runs: each area's image grows
// with every chunk stored, the state file is rewritten every few seconds
// and whenever a download ends, and the restoration's exchanges are logged
// as they happen. A crash, a kill or a pulled cable keeps what came.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "dump/dump_folder.h"
#include "dump/dump_state.h"
#include "dump/recorded_printer.h"
#include "link/exchanger.h"
#include "platform/system_result.h"
#include "tape/download_view.h"
#include "tape/flash_image.h"

namespace fjl::dump {

// How often the state file follows the images during a download.
inline constexpr std::chrono::seconds kDumpStateInterval{2};

class DumpRecorder {
 public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;

  // `state` is where the run starts: a fresh one, or a resumed dump's
  // (whose areas' `stored` bytes are kept in their files).
  DumpRecorder(std::filesystem::path folder, DumpState state, Clock clock = {});
  ~DumpRecorder();
  DumpRecorder(const DumpRecorder&) = delete;
  DumpRecorder& operator=(const DumpRecorder&) = delete;

  // Starts an area's download at `kept` bytes (0, or a resume point): the
  // file keeps that many bytes. The returned view passes everything on to
  // `inner` and appends each stored chunk to the file; it lives until the
  // next BeginArea.
  tape::DownloadView& BeginArea(DumpArea area, const tape::FlashImage& image, std::int64_t kept,
                                tape::DownloadView& inner);
  // The area's download ended: the file is flushed and the state saved,
  // the area marked complete when it succeeded.
  void EndArea(bool complete);

  // The printer as the restoration should use it: every exchange is passed
  // on and logged to answers.txt.
  link::Exchanger& Recording(link::Exchanger& printer);

  // The first failure to write the dump (naming the file), or success. A
  // dump that cannot be written does not stop the run; the caller says
  // what is missing.
  const platform::SystemResult& Failure() const { return failure_; }
  const DumpState& State() const { return state_; }

 private:
  class AreaView;
  void Stored(std::int64_t bytes);
  void Save();
  void Fail(const platform::SystemResult& why);

  std::filesystem::path folder_;
  DumpState state_;
  Clock clock_;
  std::chrono::steady_clock::time_point last_saved_{};
  ImageFileWriter writer_;
  const tape::FlashImage* image_ = nullptr;
  AreaProgress* progress_ = nullptr;
  std::unique_ptr<AreaView> view_;
  AnswerFileWriter answers_;
  std::unique_ptr<AnswerRecorder> recorder_;
  platform::SystemResult failure_;
};

}  // namespace fjl::dump
