#include "dump/dump_recorder.h"

namespace fjl::dump {

class DumpRecorder::AreaView final : public tape::DownloadView {
 public:
  AreaView(DumpRecorder& recorder, tape::DownloadView& inner) : recorder_(recorder), inner_(inner) {}
  void SetResult(std::string_view text) override { inner_.SetResult(text); }
  void SetStatus(std::string_view text) override { inner_.SetStatus(text); }
  void ShowProgress(std::int64_t bytes_stored, std::int64_t window_size) override {
    recorder_.Stored(bytes_stored);
    inner_.ShowProgress(bytes_stored, window_size);
  }

 private:
  DumpRecorder& recorder_;
  tape::DownloadView& inner_;
};

DumpRecorder::DumpRecorder(std::filesystem::path folder, DumpState state, Clock clock)
    : folder_(std::move(folder)), state_(std::move(state)), clock_(std::move(clock)) {
  if (!clock_) clock_ = [] { return std::chrono::steady_clock::now(); };
}

DumpRecorder::~DumpRecorder() = default;

tape::DownloadView& DumpRecorder::BeginArea(DumpArea area, const tape::FlashImage& image, std::int64_t kept,
                                            tape::DownloadView& inner) {
  state_.area = area;
  progress_ = area == DumpArea::Tape ? &state_.tape : &state_.aux;
  progress_->stored = kept;
  progress_->last_chunk = 0;
  progress_->complete = false;
  image_ = &image;
  writer_ = ImageFileWriter();
  std::string why;
  if (!writer_.Open(folder_ / ImageFileName(area), image.Bytes(), kept, why)) Fail(why);
  progress_->digest = writer_.Digest();
  Save(false);
  view_ = std::make_unique<AreaView>(*this, inner);
  return *view_;
}

void DumpRecorder::Stored(std::int64_t bytes) {
  if (progress_ == nullptr || bytes <= progress_->stored) return;
  std::string why;
  // The state never promises bytes its image file lacks: after a failed
  // write it stays where the file ends.
  if (!writer_.Write(image_->Bytes(), bytes, why)) {
    Fail(why);
    return;
  }
  progress_->last_chunk = bytes - progress_->stored;
  progress_->stored = bytes;
  progress_->digest = writer_.Digest();
  if (clock_() - last_saved_ >= kDumpStateInterval) Save(true);
}

void DumpRecorder::EndArea(bool complete) {
  if (progress_ == nullptr) return;
  progress_->complete = complete;
  // The tape is followed by the auxiliary area, and that by nothing.
  if (complete) state_.area = progress_ == &state_.tape ? DumpArea::Aux : DumpArea::Done;
  Save(true);
  progress_ = nullptr;
}

link::Exchanger& DumpRecorder::Recording(link::Exchanger& printer) {
  std::string why;
  if (!answers_.Open(folder_, state_, why)) Fail(why);
  recorder_ = std::make_unique<AnswerRecorder>(printer, [this](const RecordedAnswer& answer) {
    answers_.Append(answer);
    if (!answers_.Good()) Fail((folder_ / kAnswersFileName).string() + ": cannot be written");
  });
  return *recorder_;
}

void DumpRecorder::Save(bool flush_image) {
  last_saved_ = clock_();
  std::string why;
  // The images first: the state must never promise bytes the files lack.
  if (flush_image && !writer_.Flush(why)) Fail(why);
  if (!SaveState(folder_, state_, why)) Fail(why);
}

void DumpRecorder::Fail(const std::string& why) {
  if (error_.empty()) error_ = why;
}

}  // namespace fjl::dump
