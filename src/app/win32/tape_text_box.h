#pragma once
// The step 3 text box on Win32, as the Qt window's TapeTextBox: an editable
// multi-line edit box holding the restored tape one printed line per line.
// It starts as one empty line, and AppendLines always adds lines after the
// last one.

#include <windows.h>

#include <span>
#include <string>
#include <vector>

namespace fjl::app::win32 {

class TapeTextBox {
 public:
  TapeTextBox() = default;
  // `box` is a multi-line edit box of the window; it is made to hold a
  // whole tape.
  explicit TapeTextBox(HWND box);

  HWND Handle() const { return box_; }
  // UTF-8, one entry per line.
  std::vector<std::string> Lines() const;
  // Several lines in one edit, drawn once; the box keeps showing what it
  // showed, with the caret and selection where they were. A line break
  // inside a line becomes a blank, so every line given stays one line of
  // the box and the box's lines stay the restoration's.
  void AppendLines(std::span<const std::string> lines);

 private:
  HWND box_ = nullptr;
};

}  // namespace fjl::app::win32
