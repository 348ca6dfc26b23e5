#pragma once
// Saving the restored tape as an FJL file: Windows-1251, CR LF line ends.

#include <span>
#include <string>
#include <string_view>

namespace fjl::output {

struct SaveResult {
  bool saved = false;
  std::string error;  // the system's message when not saved
  explicit operator bool() const { return saved; }
};

// The file's bytes: every line (UTF-8) in Windows-1251, each followed by CR LF,
// as a text file's lines are. One empty line gives CR LF alone; no lines give
// an empty file.
std::string FjlFileBytes(std::span<const std::string> lines);

// What SaveTextFile reports for a name that is a device, a pipe or a socket.
inline constexpr std::string_view kNotARegularFile = "Not a regular file";

// Replaces `path` with the lines as a whole or not at all: the text goes to a
// temporary file beside it, reaches the disk, and only then takes the name.
// On failure the temporary file is removed and an earlier file of that name
// is left as it was. A symbolic link is followed: the file it points to is
// replaced and the link stays. A folder, device, pipe or socket of that name
// is refused and left alone.
SaveResult SaveTextFile(const std::string& path, std::span<const std::string> lines);

}  // namespace fjl::output
