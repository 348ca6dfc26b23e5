#pragma once
// Checks of the files the CLI will write, made before the printer is asked
// anything: a long download must not end in a file that cannot be written.
// Each answers success, or why not: a failure naming the file or folder it
// befell, or a program failure whose text says all.

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "cli/catalogue.h"
#include "platform/system_result.h"

namespace fjl::cli {

// The FJL file: everything the save itself would refuse (a folder, device
// or pipe of that name, looping links, a read-only file), and a temporary
// file of the very name the save will use can be made beside it.
platform::SystemResult CheckOutputFile(const std::string& path);

// The session log: can be opened for appending (it is created if missing).
platform::SystemResult CheckLogFile(const std::string& path);

// The dump folder: made if it is missing (its parent must exist), and takes
// a new file.
platform::SystemResult PrepareDumpFolder(const std::string& folder);

// An existing folder takes a new file (the folder a resume goes on writing).
platform::SystemResult CheckFolderTakesFiles(const std::string& folder);

// The folder of --export csv: made if it is missing, as a dump folder is.
inline platform::SystemResult PrepareExportFolder(const std::string& folder) { return PrepareDumpFolder(folder); }

// A file the run writes besides the FJL file, the log and the dump: an
// export or the report, with the option that names it.
struct NamedFile {
  std::string option;
  std::string path;
};

// The FJL file, the log, the dump folder's files (and DIR itself) and the
// `more` files must be different files: one written over another loses it.
// `dump` is the folder the run writes its dump to or reads it from (--dump,
// --resume, --from-dump, named so by `dump_option`). An empty `output`
// (a run that writes only exports) is left out. Names
// are compared with links and "." and ".." resolved, and existing files by
// device and inode, so two spellings of one file are found. Made before the
// other checks, which create the log and the dump folder.
// `texts` words the clash.
platform::SystemResult CheckFilesApart(const std::string& output, const std::optional<std::string>& log,
                                       const std::optional<std::string>& dump,
                                       const std::string& dump_option = "--dump", std::span<const NamedFile> more = {},
                                       const Catalogue& texts = Catalogue::English());

}  // namespace fjl::cli
