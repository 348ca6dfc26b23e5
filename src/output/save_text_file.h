#pragma once
// Saving the restored tape as an FJL file: Windows-1251, CR LF line ends.

#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "platform/system_result.h"
#include "user/stop_signal.h"

namespace fjl::output {

// The file's bytes: every line (UTF-8) in Windows-1251, each followed by CR LF,
// as a text file's lines are. One empty line gives CR LF alone; no lines give
// an empty file.
std::string FjlFileBytes(std::span<const std::string> lines);

// What a save reports for a name that is a device, a pipe or a socket (a
// program failure: the system would write there).
inline constexpr std::string_view kNotARegularFile = "Это не обычный файл (устройство, канал или сокет)";

// The file a save through `path` replaces: a symbolic link is followed to the
// file it names (which need not exist yet); a failure when the links loop
// or cannot be read.
platform::Result<std::string> SaveTarget(const std::string& path);

// Whether a save to `path` would be let through: the same refusals as
// SaveTextFile, and a temporary file of the very name the save would use is
// made beside the target and removed again, so a folder that cannot take
// it, or a name that becomes too long with the temporary file's additions,
// is found before there is anything to lose. A failure names `path`.
platform::SystemResult CheckSaveTarget(const std::string& path);

// Replaces `path` with the lines as a whole or not at all: the text goes to a
// temporary file beside it, reaches the disk, and only then takes the name.
// On failure the temporary file is removed and an earlier file of that name
// is left as it was. A symbolic link is followed: the file it points to is
// replaced and the link stays. Refused and left alone, as a shell's ">"
// would refuse them: a folder, device, pipe or socket of that name, links
// that loop, and an existing file this process may not write (a read-only
// file; root may write it, as with ">").
//
// `stop` is polled between blocks of the text and once more just before the
// new file takes the name; a stop removes the temporary file and answers a
// failure of kind ErrorKind::Cancelled. Once past that last poll the save
// completes. A failure names `path`.
platform::SystemResult SaveTextFile(const std::string& path, std::span<const std::string> lines,
                                    const StopSignal* stop = nullptr);

// The same safe replacement for bytes as they are (the exports: UTF-8).
platform::SystemResult SaveFileBytes(const std::string& path, std::string_view bytes, const StopSignal* stop = nullptr);

// The same for a text made as it is written, so that it never has to be
// whole in memory: `produce` hands each next part, in order, to the writer
// it is given, which writes the part before it returns (the part's memory
// may be written again afterwards). After a failed write or a stop the
// writer passes the rest over and the save fails as SaveFileBytes would.
using PartWriter = std::function<void(std::string_view)>;
platform::SystemResult SaveFileWritten(const std::string& path, const std::function<void(const PartWriter&)>& produce,
                                       const StopSignal* stop = nullptr);

}  // namespace fjl::output
