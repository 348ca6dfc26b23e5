#pragma once
// The files of a dump folder: tape.bin and aux.bin (each image's bytes from
// the start of its flash window, appended as the chunks arrive), state.txt
// (how far the downloads got) and answers.txt (the printer's answers to the
// restoration).

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dump/answer_log.h"
#include "dump/dump_state.h"
#include "tape/flash_image.h"

namespace fjl::dump {

inline constexpr const char* kTapeFileName = "tape.bin";
inline constexpr const char* kAuxFileName = "aux.bin";
inline constexpr const char* kAnswersFileName = "answers.txt";

// Appends an image's new bytes to its file as they arrive.
class ImageFileWriter {
 public:
  // Opens `path`, keeping its first `keep` bytes (a resumed download) or
  // none. False with `error` set when the file cannot be written.
  bool Open(const std::filesystem::path& path, std::int64_t keep, std::string& error);
  // Appends image[written so far, stored): the caller hands the whole image
  // and how much of it holds data now.
  bool Write(std::span<const std::uint8_t> image, std::int64_t stored, std::string& error);
  // Hands what was written to the system, so a crash or a kill keeps it.
  bool Flush(std::string& error);
  std::int64_t Written() const { return written_; }

 private:
  std::ofstream file_;
  std::filesystem::path path_;
  std::int64_t written_ = 0;
};

// Writes the state file whole (a new file renamed over the old one), so a
// kill in the middle leaves the last good state.
bool SaveState(const std::filesystem::path& folder, const DumpState& state, std::string& error);
std::optional<DumpState> LoadState(const std::filesystem::path& folder, std::string& error);

// Reads an image file into the start of `image`; the byte count through
// `bytes`. False when it cannot be read or is larger than the image.
bool LoadImage(const std::filesystem::path& path, tape::FlashImage& image, std::int64_t& bytes, std::string& error);

// answers.txt, written line by line as the restoration asks.
class AnswerFileWriter {
 public:
  bool Open(const std::filesystem::path& folder, std::string& error);
  void Append(const RecordedAnswer& answer);
  bool Good() const { return file_.good(); }

 private:
  std::ofstream file_;
};

std::optional<std::vector<RecordedAnswer>> LoadAnswers(const std::filesystem::path& folder, std::string& error);

}  // namespace fjl::dump
