#include "app/win32/tape_text_box.h"

#include <string_view>

#include "app/win32/wide_text.h"

namespace fjl::app::win32 {
namespace {

std::wstring OneLine(std::string_view utf8) {
  std::wstring line = Wide(utf8);
  for (wchar_t& character : line) {
    if (character == L'\r' || character == L'\n') character = L' ';
  }
  return line;
}

}  // namespace

TapeTextBox::TapeTextBox(HWND box) : box_(box) {
  // A whole tape is some megabytes of text; the box's default cap is 30,000
  // characters.
  SendMessageW(box_, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
}

std::vector<std::string> TapeTextBox::Lines() const {
  // The box's lines end in CR LF.
  const std::wstring text = WindowText(box_);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      lines.push_back(Utf8(std::wstring_view(text).substr(start)));
      return lines;
    }
    lines.push_back(Utf8(std::wstring_view(text).substr(start, end - start)));
    start = end + 2;
  }
}

void TapeTextBox::AppendLines(std::span<const std::string> lines) {
  if (lines.empty()) return;
  std::wstring batch;
  for (const std::string& line : lines) {
    batch += L"\r\n";
    batch += OneLine(line);
  }
  // The lines arrive below, as in a growing document.
  DWORD selection_start = 0;
  DWORD selection_end = 0;
  SendMessageW(box_, EM_GETSEL, reinterpret_cast<WPARAM>(&selection_start), reinterpret_cast<LPARAM>(&selection_end));
  const LRESULT first_shown = SendMessageW(box_, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(box_, WM_SETREDRAW, FALSE, 0);
  const int end = GetWindowTextLengthW(box_);
  SendMessageW(box_, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  SendMessageW(box_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(batch.c_str()));
  SendMessageW(box_, EM_SETSEL, selection_start, selection_end);
  SendMessageW(box_, EM_LINESCROLL, 0, first_shown - SendMessageW(box_, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessageW(box_, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(box_, nullptr, TRUE);
}

}  // namespace fjl::app::win32
