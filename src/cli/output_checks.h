#pragma once
// Checks of the files the CLI will write, made before the printer is asked
// anything: a long download must not end in a file that cannot be written.
// Each answers an empty text when all is well, or why not.

#include <cstdint>
#include <span>
#include <string>

namespace fjl::cli {

// The FJL file: its folder exists and takes a new file; the name itself is
// not a folder.
std::string CheckOutputFile(const std::string& path);

// The session log: can be opened for appending (it is created if missing).
std::string CheckLogFile(const std::string& path);

// The dump folder: made if it is missing (its parent must exist), and takes
// a new file.
std::string PrepareDumpFolder(const std::string& folder);

// Replaces `folder`/`name` with `bytes` as a whole or not at all.
std::string WriteDumpFile(const std::string& folder, const std::string& name,
                          std::span<const std::uint8_t> bytes);

}  // namespace fjl::cli
