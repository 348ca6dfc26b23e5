#pragma once
// The step 3 text box: plain text in fixed-pitch Courier, editable, holding
// the restored tape one printed line per line. It starts as one empty line,
// and AppendLine always adds a line after the last one.

#include <QPlainTextEdit>
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
  int LineCount() const;
  std::string LineAt(int index) const;  // "" outside the lines
  std::vector<std::string> Lines() const;
};

}  // namespace fjl::app
