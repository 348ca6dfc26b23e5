#include "cli/console.h"

#include <utility>

namespace fjl::cli {
namespace {

// Characters a UTF-8 text takes on screen, one per code point.
std::size_t ScreenWidth(std::string_view utf8) {
  std::size_t width = 0;
  for (const char c : utf8) {
    if ((static_cast<unsigned char>(c) & 0xC0U) != 0x80U) ++width;
  }
  return width;
}

}  // namespace

Console::Console(TextWriter write, bool terminal, const Catalogue& texts)
    : write_(std::move(write)), terminal_(terminal), texts_(texts) {}

void Console::ShowMessage(std::string_view text) { WriteLine(text); }

void Console::ShowError(std::string_view text) { WriteLine(text); }

void Console::Note(std::string_view text) { WriteLine(text); }

void Console::WriteLine(std::string_view text) {
  std::string out;
  if (progress_shown_) {
    out += '\n';
    progress_shown_ = false;
    progress_width_ = 0;
  }
  out += text;
  out += '\n';
  write_(out);
}

void Console::Progress(std::string_view text) {
  if (!terminal_) return;
  std::string out = "\r";
  out += text;
  const std::size_t width = ScreenWidth(text);
  // Blanks over the rest of a longer earlier line, then back to its end.
  if (width < progress_width_) {
    out.append(progress_width_ - width, ' ');
    out.append(progress_width_ - width, '\b');
  }
  progress_width_ = width;
  progress_shown_ = true;
  write_(out);
}

void Console::EndProgress() {
  if (!progress_shown_) return;
  progress_shown_ = false;
  progress_width_ = 0;
  write_("\n");
}

}  // namespace fjl::cli
