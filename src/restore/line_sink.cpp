#include "restore/line_sink.h"

#include <utility>

namespace fjl::restore {

LineSink::LineSink(LineView* view, std::size_t batch) : LineSink(std::vector<std::string>{""}, view, batch) {}

LineSink::LineSink(std::vector<std::string> shown_lines, LineView* view, std::size_t batch)
    : lines_(std::move(shown_lines)), shown_(lines_.size()), view_(view), batch_(batch == 0 ? 1 : batch) {}

void LineSink::Append(std::string line) {
  lines_.push_back(std::move(line));
  if (lines_.size() - shown_ >= batch_) Flush();
}

void LineSink::Flush() {
  if (shown_ == lines_.size()) return;
  if (view_ != nullptr) {
    view_->AppendLines(std::span<const std::string>(lines_).subspan(shown_));
  }
  shown_ = lines_.size();
}

}  // namespace fjl::restore
