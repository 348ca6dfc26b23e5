#pragma once
// The files of a dump folder: tape.bin and auxiliary.bin (each image's bytes
// from the start of its flash window, appended as the chunks arrive),
// state.txt (how far the downloads got, with a digest of each image) and
// answers.txt (the printer's answers to the restoration). No name is one
// Windows keeps for a device (AUX, CON, NUL, ...), whatever follows its dot.

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "dump/answer_log.h"
#include "dump/crc32c.h"
#include "dump/dump_state.h"
#include "platform/file_append.h"
#include "platform/system_result.h"
#include "tape/flash_image.h"

namespace fjl::dump {

inline constexpr const char* kTapeFileName = "tape.bin";
inline constexpr const char* kAuxFileName = "auxiliary.bin";
inline constexpr const char* kAnswersFileName = "answers.txt";
// Held locked for as long as a run writes the folder.
inline constexpr const char* kLockFileName = "dump.lock";

// Every file a dump consists of; a folder holding any of them holds a dump.
inline constexpr std::array<const char*, 4> kDumpFileNames = {kTapeFileName, kAuxFileName, kStateFileName,
                                                              kAnswersFileName};

const char* ImageFileName(DumpArea area);

// Every failure below names the file it befell (SystemResult::Subject()).

// Appends an image's new bytes to its file as they arrive, keeping the
// digest of everything the file holds. Each chunk is the system's once
// written, so a crash or a kill keeps it.
class ImageFileWriter {
 public:
  // Opens `path`, keeping its first `keep` bytes (a resumed download, equal
  // to image[0, keep)) or none.
  platform::SystemResult Open(const std::filesystem::path& path, std::span<const std::uint8_t> image,
                              std::int64_t keep);
  // Appends image[written so far, stored): the caller hands the whole image
  // and how much of it holds data now. After a failure the file may end
  // inside the failed chunk, so every later write answers that failure.
  platform::SystemResult Write(std::span<const std::uint8_t> image, std::int64_t stored);
  std::int64_t Written() const { return written_; }
  std::uint32_t Digest() const { return digest_.Value(); }

 private:
  platform::AppendingFile file_;
  std::filesystem::path path_;
  platform::SystemResult failure_;
  std::int64_t written_ = 0;
  Crc32c digest_;
};

// Writes the state file whole (a new file renamed over the old one), so a
// kill in the middle leaves the last good state.
platform::SystemResult SaveState(const std::filesystem::path& folder, const DumpState& state);
platform::Result<DumpState> LoadState(const std::filesystem::path& folder);

// The `progress.stored` bytes of an area's image file, into the start of
// `image`; bytes the file holds past them are not taken. A failure when the
// file cannot be read, is a folder, is shorter than the state says or
// larger than the window, or its stored bytes do not match the state's
// digest (the dump is damaged).
platform::SystemResult LoadImage(const std::filesystem::path& folder, DumpArea area, const AreaProgress& progress,
                                 std::span<std::uint8_t> image);

// answers.txt, written line by line as the restoration asks. Its second
// line names the dump and the printer, so answers from another download
// are never taken for this one's.
class AnswerFileWriter {
 public:
  platform::SystemResult Open(const std::filesystem::path& folder, const DumpState& state);
  // One line, the system's at once: a run killed mid-restoration keeps
  // every answer it had.
  platform::SystemResult Append(const RecordedAnswer& answer);

 private:
  platform::AppendingFile file_;
  std::filesystem::path path_;
};

// The recorded answers of the dump `state` describes: refused when the file
// belongs to another dump. A folder without the file has no answers (a
// download that did not reach the restoration).
platform::Result<std::vector<RecordedAnswer>> LoadAnswers(const std::filesystem::path& folder, const DumpState& state);

// Everything a dump folder holds, checked whole: the state, both images and
// the answers, each proven to belong to this dump.
struct StoredDump {
  DumpState state;
  std::vector<RecordedAnswer> answers;
};
platform::Result<StoredDump> LoadDump(const std::filesystem::path& folder, std::span<std::uint8_t> tape_image,
                                      std::span<std::uint8_t> aux_image);

// Whether `folder` holds any file of a dump.
bool HoldsDump(const std::filesystem::path& folder);

}  // namespace fjl::dump
