#include "dump/dump_folder.h"

#include "text/file_error_text.h"

#include <cerrno>
#include <iterator>
#include <sstream>
#include <system_error>

#include "text/file_error_text.h"

namespace fjl::dump {
namespace {

std::string Why(const std::filesystem::path& path, std::string_view what) {
  return path.string() + ": " + std::string(what);
}

// A stream says only that it failed; errno says why (no room, no right).
std::string WriteFailure(const std::filesystem::path& path) {
  const int error = errno;
  return Why(path, error != 0 ? text::FileErrorText(error) : "cannot be written");
}

std::optional<std::string> ReadWhole(const std::filesystem::path& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = Why(path, "cannot be read");
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    error = Why(path, "cannot be read");
    return std::nullopt;
  }
  return std::move(text).str();
}

}  // namespace

bool ImageFileWriter::Open(const std::filesystem::path& path, std::int64_t keep, std::string& error) {
  path_ = path;
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  const std::int64_t size = exists ? static_cast<std::int64_t>(std::filesystem::file_size(path, ec)) : 0;
  if (keep > 0 && (ec || size < keep)) {
    error = Why(path, "holds fewer bytes than the state file says");
    return false;
  }
  if (exists && size != keep) {
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(keep), ec);
    if (ec) {
      error = Why(path, text::FileErrorText(ec.value()));
      return false;
    }
  }
  errno = 0;
  file_.open(path, std::ios::binary | std::ios::app);
  if (!file_) {
    error = WriteFailure(path);
    return false;
  }
  written_ = keep;
  return true;
}

bool ImageFileWriter::Write(std::span<const std::uint8_t> image, std::int64_t stored, std::string& error) {
  if (stored <= written_) return true;
  const auto from = static_cast<std::size_t>(written_);
  const auto count = static_cast<std::size_t>(stored - written_);
  if (from + count > image.size()) return true;
  errno = 0;
  file_.write(reinterpret_cast<const char*>(image.data() + from), static_cast<std::streamsize>(count));
  if (!file_) {
    error = WriteFailure(path_);
    return false;
  }
  written_ = stored;
  return true;
}

bool ImageFileWriter::Flush(std::string& error) {
  errno = 0;
  file_.flush();
  if (!file_) {
    error = WriteFailure(path_);
    return false;
  }
  return true;
}

bool SaveState(const std::filesystem::path& folder, const DumpState& state, std::string& error) {
  const std::filesystem::path path = folder / kStateFileName;
  const std::filesystem::path temp = folder / (std::string(kStateFileName) + ".new");
  std::error_code ec;
  {
    errno = 0;
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << FormatDumpState(state);
    out.flush();
    if (!out) {
      error = WriteFailure(path);
      out.close();
      std::filesystem::remove(temp, ec);
      return false;
    }
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    error = Why(path, text::FileErrorText(ec.value()));
    return false;
  }
  return true;
}

std::optional<DumpState> LoadState(const std::filesystem::path& folder, std::string& error) {
  const std::filesystem::path path = folder / kStateFileName;
  const std::optional<std::string> text = ReadWhole(path, error);
  if (!text) return std::nullopt;
  std::optional<DumpState> state = ParseDumpState(*text, error);
  if (!state) error = Why(path, error);
  return state;
}

bool LoadImage(const std::filesystem::path& path, tape::FlashImage& image, std::int64_t& bytes, std::string& error) {
  const std::optional<std::string> data = ReadWhole(path, error);
  if (!data) return false;
  if (data->size() > image.Size()) {
    error = Why(path, "is larger than its flash window");
    return false;
  }
  std::copy(data->begin(), data->end(), image.MutableBytes().begin());
  bytes = static_cast<std::int64_t>(data->size());
  return true;
}

bool AnswerFileWriter::Open(const std::filesystem::path& folder, std::string& error) {
  const std::filesystem::path path = folder / kAnswersFileName;
  errno = 0;
  file_.open(path, std::ios::binary | std::ios::trunc);
  file_ << kAnswersHeader << '\n';
  file_.flush();
  if (!file_) {
    error = WriteFailure(path);
    return false;
  }
  return true;
}

void AnswerFileWriter::Append(const RecordedAnswer& answer) {
  // A line at a time, handed over at once: a run killed mid-restoration
  // keeps every answer it had.
  file_ << FormatAnswer(answer) << '\n';
  file_.flush();
}

std::optional<std::vector<RecordedAnswer>> LoadAnswers(const std::filesystem::path& folder, std::string& error) {
  const std::filesystem::path path = folder / kAnswersFileName;
  const std::optional<std::string> text = ReadWhole(path, error);
  if (!text) return std::nullopt;
  std::optional<std::vector<RecordedAnswer>> answers = ParseAnswers(*text, error);
  if (!answers) error = Why(path, error);
  return answers;
}

}  // namespace fjl::dump
