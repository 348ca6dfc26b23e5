#include "output/save_text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string_view>
#include <vector>

#include "output/written_in_blocks.h"

namespace fjl::output {
namespace {

// Blocks written between two polls of the stop signal: a full tape's text
// is a few MB, so a stop is seen within milliseconds even on a slow disk.
constexpr std::size_t kWriteBlock = 64 * 1024;

// Links followed before a name counts as looping, as the kernel's own limit.
constexpr int kMaxLinkHops = 40;

using platform::Result;
using platform::SystemResult;

// The folder part of `path` ("." for a bare name) and the name part.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The temporary file beside the target, as mkostemp wants its pattern.
std::string TemporaryPattern(const std::string& folder, const std::string& name) {
  return (folder == "/" ? "" : folder) + "/." + name + ".XXXXXX";
}

// Opens a fresh temporary file for `folder`/`name`: its descriptor, its
// name landing in `temp_path`.
Result<int> MakeTemporary(const std::string& folder, const std::string& name, std::string& temp_path) {
  const std::string pattern = TemporaryPattern(folder, name);
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
  if (fd < 0) return SystemResult(errno);
  temp_path.assign(buffer.data());
  return fd;
}

// Permissions a new file gets from the process umask; an existing file keeps its own.
mode_t TargetMode(const std::string& path) {
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0) return existing.st_mode & 07777;
  mode_t mask = 022;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("Umask:", 0) == 0) {
      mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
      break;
    }
  }
  return 0666 & ~mask;
}

SystemResult WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) return SystemResult(errno);
    // No progress and no error: the file takes nothing more.
    if (written == 0) return EIO;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

// The rename is durable only once the folder's entry has reached the disk.
// Some file systems refuse fsync on a folder; that is not a failed save.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The file a save of `chosen_path` replaces, or the refusal a save makes
// before it writes anything.
Result<std::string> TargetToReplace(const std::string& chosen_path) {
  Result<std::string> target = SaveTarget(chosen_path);
  if (!target) return target;
  if (SplitPath(*target).second.empty()) return SystemResult(EISDIR);
  struct stat existing {};
  if (::stat(target->c_str(), &existing) != 0) {
    // A name not there yet is what a save makes; anything else on the way
    // (a file where a folder should be, a folder that cannot be searched) stops it.
    if (errno == ENOENT) return target;
    return SystemResult(errno);
  }
  if (S_ISDIR(existing.st_mode)) return SystemResult(EISDIR);
  // A device, pipe or socket of that name must never be renamed over: as
  // root, saving to "/dev/stdout" would otherwise replace it with a file.
  if (!S_ISREG(existing.st_mode)) return SystemResult::Program(std::string(kNotARegularFile));
  // A rename needs only the folder's permission, so a read-only file would
  // be replaced unasked. The effective ids decide, as for ">": root may.
  if (::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) return SystemResult(errno);
  return target;
}

SystemResult SaveProduced(const std::string& chosen_path, const std::function<void(const PartWriter&)>& produce,
                          const StopSignal* stop) {
  const Result<std::string> target = TargetToReplace(chosen_path);
  if (!target) return target.Failure();
  const std::string& path = *target;
  const auto [folder, name] = SplitPath(path);

  std::string temp_path;
  const Result<int> made = MakeTemporary(folder, name, temp_path);
  if (!made) return made.Failure();
  const int fd = *made;

  const auto discard = [&temp_path](int open_fd, SystemResult why) {
    if (open_fd >= 0) ::close(open_fd);
    ::unlink(temp_path.c_str());
    return why;
  };
  // A stop is the user's: the temporary file goes, the earlier file stays.
  const SystemResult stopped(ECANCELED);

  if (::fchmod(fd, TargetMode(path)) != 0) return discard(fd, SystemResult(errno));
  const SystemResult written =
      WriteInBlocks(produce, kWriteBlock, stop, stopped, [fd](std::string_view block) { return WriteAll(fd, block); });
  if (!written) return discard(fd, written);
  if (::fsync(fd) != 0) return discard(fd, SystemResult(errno));
  if (::close(fd) != 0) return discard(-1, SystemResult(errno));
  // The last point at which a stop leaves the earlier file as it was; after
  // the rename the new file is whole and the save has happened.
  if (StopRequested(stop)) return discard(-1, stopped);
  if (::rename(temp_path.c_str(), path.c_str()) != 0) return discard(-1, SystemResult(errno));
  SyncFolder(folder);
  return {};
}

}  // namespace

Result<std::string> SaveTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    if (hops == kMaxLinkHops) break;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
    if (length < 0) return SystemResult(errno);
    if (length == 0 || static_cast<std::size_t>(length) >= sizeof target) return SystemResult(ENAMETOOLONG);
    const std::string link(target, static_cast<std::size_t>(length));
    if (link.front() == '/') {
      current = link;
    } else {
      const std::size_t slash = current.find_last_of('/');
      current = slash == std::string::npos ? link : current.substr(0, slash + 1) + link;
    }
  }
  // Still a link: replacing it with a file would silently break the loop
  // the user made instead of saving where they meant.
  return SystemResult(ELOOP);
}

SystemResult CheckSaveTarget(const std::string& path) {
  const Result<std::string> target = TargetToReplace(path);
  if (!target) return target.Failure().About(path);
  const auto [folder, name] = SplitPath(*target);
  std::string temp_path;
  const Result<int> made = MakeTemporary(folder, name, temp_path);
  if (!made) return made.Failure().About(path);
  ::close(*made);
  ::unlink(temp_path.c_str());
  return {};
}

SystemResult SaveTextFile(const std::string& chosen_path, std::span<const std::string> lines, const StopSignal* stop) {
  return SaveFileBytes(chosen_path, FjlFileBytes(lines), stop);
}

SystemResult SaveFileBytes(const std::string& chosen_path, std::string_view bytes, const StopSignal* stop) {
  return SaveFileWritten(
      chosen_path, [bytes](const PartWriter& write) { write(bytes); }, stop);
}

SystemResult SaveFileWritten(const std::string& chosen_path, const std::function<void(const PartWriter&)>& produce,
                             const StopSignal* stop) {
  const SystemResult saved = SaveProduced(chosen_path, produce, stop);
  return saved ? saved : saved.About(chosen_path);
}

}  // namespace fjl::output
