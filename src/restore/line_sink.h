#pragma once
// The restored text: every line a run has written, kept in memory so that an
// annulment can copy earlier lines exactly, and handed to a view in batches
// rather than one widget call per line.

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "restore/restore_view.h"

namespace fjl::restore {

class LineSink {
 public:
  static constexpr std::size_t kDefaultBatch = 4096;

  // Starts with the text box's initial content (one empty line), which the
  // view already shows. `view` may be null (nothing is shown, the lines are kept).
  explicit LineSink(LineView* view = nullptr, std::size_t batch = kDefaultBatch);
  LineSink(std::vector<std::string> shown_lines, LineView* view, std::size_t batch = kDefaultBatch);

  void Append(std::string line);
  std::size_t LineCount() const { return lines_.size(); }
  // Line j of the whole text, 0 <= j < LineCount().
  const std::string& Line(std::size_t j) const { return lines_[j]; }
  std::span<const std::string> Lines() const { return lines_; }

  // Hands the lines not yet shown to the view.
  void Flush();

 private:
  std::vector<std::string> lines_;
  std::size_t shown_ = 0;
  LineView* view_ = nullptr;
  std::size_t batch_ = kDefaultBatch;
};

}  // namespace fjl::restore
