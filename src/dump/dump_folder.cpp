#include "dump/dump_folder.h"

#include <algorithm>
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

// A stream says only that it failed; the runtime's errno says why (no room,
// no right), in its own numbering, which on Windows is not the system's.
std::string WriteFailure(const std::filesystem::path& path) {
  const int error = errno;
  return Why(path, error != 0 ? text::FileErrorText(platform::SystemResult::FromErrno(error)) : "cannot be written");
}

std::optional<std::string> ReadWhole(const std::filesystem::path& path, std::string& error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    error = Why(path, "is a folder, not a file of the dump");
    return std::nullopt;
  }
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

// The line of answers.txt that ties it to its dump.
std::string AnswersIdentity(const DumpState& state) {
  return "# dump=" + state.id + " serial=" + state.serial;
}

// The text's line `index` (from 0), without its line end.
std::string_view LineAt(std::string_view text, int index) {
  for (int i = 0; i < index; ++i) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return {};
    text.remove_prefix(end + 1);
  }
  std::string_view line = text.substr(0, text.find('\n'));
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

std::string DamagedText(const std::filesystem::path& path) {
  return Why(path, "dump damaged: the file does not hold the bytes the download stored (their digest differs); "
                   "start a new dump");
}

}  // namespace

const char* ImageFileName(DumpArea area) { return area == DumpArea::Aux ? kAuxFileName : kTapeFileName; }

bool ImageFileWriter::Open(const std::filesystem::path& path, std::span<const std::uint8_t> image,
                           std::int64_t keep, std::string& error) {
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
      error = Why(path, text::FileErrorText(platform::SystemResult::FromErrorCode(ec)));
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
  digest_ = Crc32c();
  digest_.Add(image.first(static_cast<std::size_t>(keep)));
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
  digest_.Add(image.subspan(from, count));
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
    error = Why(path, text::FileErrorText(platform::SystemResult::FromErrorCode(ec)));
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

bool LoadImage(const std::filesystem::path& folder, DumpArea area, const AreaProgress& progress,
               std::span<std::uint8_t> image, std::string& error) {
  if (progress.stored == 0) return true;
  const std::filesystem::path path = folder / ImageFileName(area);
  const std::optional<std::string> data = ReadWhole(path, error);
  if (!data) return false;
  const auto stored = static_cast<std::size_t>(progress.stored);
  if (data->size() < stored) {
    error = Why(path, "holds " + std::to_string(data->size()) + " bytes, fewer than the " +
                          std::to_string(stored) + " its state file says");
    return false;
  }
  if (data->size() > image.size()) {
    error = Why(path, "is larger than its flash window");
    return false;
  }
  std::copy_n(data->begin(), stored, image.begin());
  if (Crc32cOf(image.first(stored)) != progress.digest) {
    error = DamagedText(path);
    return false;
  }
  return true;
}

bool AnswerFileWriter::Open(const std::filesystem::path& folder, const DumpState& state, std::string& error) {
  const std::filesystem::path path = folder / kAnswersFileName;
  errno = 0;
  file_.open(path, std::ios::binary | std::ios::trunc);
  file_ << kAnswersHeader << '\n' << AnswersIdentity(state) << '\n';
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

std::optional<std::vector<RecordedAnswer>> LoadAnswers(const std::filesystem::path& folder, const DumpState& state,
                                                       std::string& error) {
  const std::filesystem::path path = folder / kAnswersFileName;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return std::vector<RecordedAnswer>();
  const std::optional<std::string> text = ReadWhole(path, error);
  if (!text) return std::nullopt;
  if (LineAt(*text, 1) != AnswersIdentity(state)) {
    error = Why(path, "belongs to another dump than its state file; start a new dump");
    return std::nullopt;
  }
  std::optional<std::vector<RecordedAnswer>> answers = ParseAnswers(*text, error);
  if (!answers) error = Why(path, error);
  return answers;
}

std::optional<StoredDump> LoadDump(const std::filesystem::path& folder, std::span<std::uint8_t> tape_image,
                                   std::span<std::uint8_t> aux_image, std::string& error) {
  std::optional<DumpState> state = LoadState(folder, error);
  if (!state || !LoadImage(folder, DumpArea::Tape, state->tape, tape_image, error) ||
      !LoadImage(folder, DumpArea::Aux, state->aux, aux_image, error)) {
    return std::nullopt;
  }
  std::optional<std::vector<RecordedAnswer>> answers = LoadAnswers(folder, *state, error);
  if (!answers) return std::nullopt;
  return StoredDump{std::move(*state), std::move(*answers)};
}

bool HoldsDump(const std::filesystem::path& folder) {
  std::error_code ec;
  return std::any_of(kDumpFileNames.begin(), kDumpFileNames.end(),
                     [&](const char* name) { return std::filesystem::exists(folder / name, ec); });
}

}  // namespace fjl::dump
