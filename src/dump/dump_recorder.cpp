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
  Fail(writer_.Open(folder_ / ImageFileName(area), image.Bytes(), kept));
  progress_->digest = writer_.Digest();
  Save();
  view_ = std::make_unique<AreaView>(*this, inner);
  return *view_;
}

void DumpRecorder::Stored(std::int64_t bytes) {
  if (progress_ == nullptr || bytes <= progress_->stored) return;
  // The state never promises bytes its image file lacks: after a failed
  // write it stays where the file ends.
  if (const platform::SystemResult written = writer_.Write(image_->Bytes(), bytes); !written) {
    Fail(written);
    return;
  }
  progress_->last_chunk = bytes - progress_->stored;
  progress_->stored = bytes;
  progress_->digest = writer_.Digest();
  if (clock_() - last_saved_ >= kDumpStateInterval) Save();
}

void DumpRecorder::EndArea(bool complete) {
  if (progress_ == nullptr) return;
  progress_->complete = complete;
  // The tape is followed by the auxiliary area, and that by nothing.
  if (complete) state_.area = progress_ == &state_.tape ? DumpArea::Aux : DumpArea::Done;
  Save();
  progress_ = nullptr;
}

link::Exchanger& DumpRecorder::Recording(link::Exchanger& printer) {
  Fail(answers_.Open(folder_, state_));
  recorder_ = std::make_unique<AnswerRecorder>(printer,
                                               [this](const RecordedAnswer& answer) { Fail(answers_.Append(answer)); });
  return *recorder_;
}

// The image's bytes are the system's as each chunk is written, so the state
// saved here never promises bytes the file lacks.
void DumpRecorder::Save() {
  last_saved_ = clock_();
  Fail(SaveState(folder_, state_));
}

void DumpRecorder::Fail(const platform::SystemResult& why) {
  if (failure_.Ok()) failure_ = why;
}

}  // namespace fjl::dump
