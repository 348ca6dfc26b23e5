#pragma once
// The step 3 text box: plain text in fixed-pitch Courier, editable, holding
// the restored tape one printed line per line. It starts as one empty line,
// and AppendLine always adds a line after the last one.

#include <QPlainTextEdit>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fjl::app {

class TapeTextBox : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit TapeTextBox(QWidget* parent = nullptr);

  // UTF-8 in and out.
  void AppendLine(std::string_view line);
  // Several lines in one edit of the document: a restoration hands its lines
  // over in batches, and one edit per line would cost a layout each time.
  // A line break inside a line becomes a blank, so every line given stays
  // one line of the box and the box's line numbers match the caller's.
  void AppendLines(std::span<const std::string> lines);
  int LineCount() const;
  std::string LineAt(int index) const;  // "" outside the lines
  std::vector<std::string> Lines() const;
};

}  // namespace fjl::app
