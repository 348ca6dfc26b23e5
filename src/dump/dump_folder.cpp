#include "dump/dump_folder.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <system_error>

namespace fjl::dump {
namespace {

using platform::Result;
using platform::SystemResult;

// A failure the dump's own files show, about the file at `path`.
SystemResult Faulty(const std::filesystem::path& path, std::string what) {
  return SystemResult::Program(std::move(what)).About(path.string());
}

Result<std::string> ReadWhole(const std::filesystem::path& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return Faulty(path, "is a folder, not a file of the dump");
  std::ifstream in(path, std::ios::binary);
  if (!in) return Faulty(path, "cannot be read");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return Faulty(path, "cannot be read");
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

SystemResult Damaged(const std::filesystem::path& path) {
  return Faulty(path,
                "dump damaged: the file does not hold the bytes the download stored (their digest differs); "
                "start a new dump");
}

std::string_view AsText(std::span<const std::uint8_t> bytes) {
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

const char* ImageFileName(DumpArea area) { return area == DumpArea::Aux ? kAuxFileName : kTapeFileName; }

SystemResult ImageFileWriter::Open(const std::filesystem::path& path, std::span<const std::uint8_t> image,
                                   std::int64_t keep) {
  path_ = path;
  failure_ = {};
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  const std::int64_t size = exists ? static_cast<std::int64_t>(std::filesystem::file_size(path, ec)) : 0;
  if (keep > 0 && (ec || size < keep)) return failure_ = Faulty(path, "holds fewer bytes than the state file says");
  if (exists && size != keep) {
    std::filesystem::resize_file(path, static_cast<std::uintmax_t>(keep), ec);
    if (ec) return failure_ = SystemResult::FromErrorCode(ec).About(path.string());
  }
  if (SystemResult opened = file_.Open(path, platform::AppendingFile::Opening::Keep); !opened) {
    return failure_ = opened.About(path.string());
  }
  written_ = keep;
  digest_ = Crc32c();
  digest_.Add(image.first(static_cast<std::size_t>(keep)));
  return {};
}

SystemResult ImageFileWriter::Write(std::span<const std::uint8_t> image, std::int64_t stored) {
  if (!failure_.Ok()) return failure_;
  if (stored <= written_) return {};
  const auto from = static_cast<std::size_t>(written_);
  const auto count = static_cast<std::size_t>(stored - written_);
  if (from + count > image.size()) return {};
  if (SystemResult written = file_.Write(AsText(image.subspan(from, count))); !written) {
    return failure_ = written.About(path_.string());
  }
  digest_.Add(image.subspan(from, count));
  written_ = stored;
  return {};
}

SystemResult SaveState(const std::filesystem::path& folder, const DumpState& state) {
  const std::filesystem::path path = folder / kStateFileName;
  const std::filesystem::path temp = folder / (std::string(kStateFileName) + ".new");
  platform::AppendingFile file;
  SystemResult written = file.Open(temp, platform::AppendingFile::Opening::Empty);
  if (written) written = file.Write(FormatDumpState(state));
  if (written) written = file.Close();
  std::error_code ec;
  if (!written) {
    file = {};
    std::filesystem::remove(temp, ec);
    return written.About(path.string());
  }
  std::filesystem::rename(temp, path, ec);
  if (ec) return SystemResult::FromErrorCode(ec).About(path.string());
  return {};
}

Result<DumpState> LoadState(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kStateFileName;
  const Result<std::string> text = ReadWhole(path);
  if (!text) return text.Failure();
  Result<DumpState> state = ParseDumpState(*text);
  if (!state) return state.Failure().About(path.string());
  return state;
}

SystemResult LoadImage(const std::filesystem::path& folder, DumpArea area, const AreaProgress& progress,
                       std::span<std::uint8_t> image) {
  if (progress.stored == 0) return {};
  const std::filesystem::path path = folder / ImageFileName(area);
  const Result<std::string> data = ReadWhole(path);
  if (!data) return data.Failure();
  const auto stored = static_cast<std::size_t>(progress.stored);
  if (data->size() < stored) {
    return Faulty(path, "holds " + std::to_string(data->size()) + " bytes, fewer than the " + std::to_string(stored) +
                            " its state file says");
  }
  if (data->size() > image.size()) return Faulty(path, "is larger than its flash window");
  std::copy_n(data->begin(), stored, image.begin());
  if (Crc32cOf(image.first(stored)) != progress.digest) return Damaged(path);
  return {};
}

SystemResult AnswerFileWriter::Open(const std::filesystem::path& folder, const DumpState& state) {
  path_ = folder / kAnswersFileName;
  SystemResult opened = file_.Open(path_, platform::AppendingFile::Opening::Empty);
  if (opened) opened = file_.Write(std::string(kAnswersHeader) + "\n" + AnswersIdentity(state) + "\n");
  return opened ? opened : opened.About(path_.string());
}

SystemResult AnswerFileWriter::Append(const RecordedAnswer& answer) {
  if (SystemResult written = file_.Write(FormatAnswer(answer) + "\n"); !written) return written.About(path_.string());
  return {};
}

Result<std::vector<RecordedAnswer>> LoadAnswers(const std::filesystem::path& folder, const DumpState& state) {
  const std::filesystem::path path = folder / kAnswersFileName;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec) && !ec) return std::vector<RecordedAnswer>();
  const Result<std::string> text = ReadWhole(path);
  if (!text) return text.Failure();
  if (LineAt(*text, 1) != AnswersIdentity(state)) {
    return Faulty(path, "belongs to another dump than its state file; start a new dump");
  }
  Result<std::vector<RecordedAnswer>> answers = ParseAnswers(*text);
  if (!answers) return answers.Failure().About(path.string());
  return answers;
}

Result<StoredDump> LoadDump(const std::filesystem::path& folder, std::span<std::uint8_t> tape_image,
                            std::span<std::uint8_t> aux_image) {
  Result<DumpState> state = LoadState(folder);
  if (!state) return state.Failure();
  if (SystemResult loaded = LoadImage(folder, DumpArea::Tape, state->tape, tape_image); !loaded) return loaded;
  if (SystemResult loaded = LoadImage(folder, DumpArea::Aux, state->aux, aux_image); !loaded) return loaded;
  Result<std::vector<RecordedAnswer>> answers = LoadAnswers(folder, *state);
  if (!answers) return answers.Failure();
  return StoredDump{std::move(*state), std::move(*answers)};
}

bool HoldsDump(const std::filesystem::path& folder) {
  std::error_code ec;
  return std::any_of(kDumpFileNames.begin(), kDumpFileNames.end(),
                     [&](const char* name) { return std::filesystem::exists(folder / name, ec); });
}

}  // namespace fjl::dump
