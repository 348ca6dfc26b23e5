#include "output/save_text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <vector>

#include "text/file_error_text.h"

namespace fjl::output {
namespace {

// Blocks written between two polls of the stop signal: a full tape's text
// is a few MB, so a stop is seen within milliseconds even on a slow disk.
constexpr std::size_t kWriteBlock = 64 * 1024;

// Links followed before a name counts as looping, as the kernel's own limit.
constexpr int kMaxLinkHops = 40;

SaveResult Failed(int error) { return {false, false, text::FileErrorText(error)}; }
SaveResult Failed(std::string_view why) { return {false, false, std::string(why)}; }

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

// Opens a fresh temporary file for `folder`/`name`; its name lands in `temp_path`.
int MakeTemporary(const std::string& folder, const std::string& name, std::string& temp_path) {
  const std::string pattern = TemporaryPattern(folder, name);
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
  if (fd >= 0) temp_path.assign(buffer.data());
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

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) {
      errno = EIO;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The rename is durable only once the folder's entry has reached the disk.
// Some file systems refuse fsync on a folder; that is not a failed save.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// The refusals a save makes before it writes anything; on success `target`
// is the file to replace.
std::string Refusal(const std::string& chosen_path, std::string& target) {
  const platform::Result<std::string> followed = SaveTarget(chosen_path);
  if (!followed) return text::FileErrorText(followed.Failure());
  target = *followed;
  if (SplitPath(target).second.empty()) return text::FileErrorText(EISDIR);
  struct stat existing {};
  if (::stat(target.c_str(), &existing) != 0) {
    // A name not there yet is what a save makes; anything else on the way
    // (a file where a folder should be, a folder that cannot be searched) stops it.
    return errno == ENOENT ? std::string() : text::FileErrorText(errno);
  }
  if (S_ISDIR(existing.st_mode)) return text::FileErrorText(EISDIR);
  // A device, pipe or socket of that name must never be renamed over: as
  // root, saving to "/dev/stdout" would otherwise replace it with a file.
  if (!S_ISREG(existing.st_mode)) return std::string(kNotARegularFile);
  // A rename needs only the folder's permission, so a read-only file would
  // be replaced unasked. The effective ids decide, as for ">": root may.
  if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) return text::FileErrorText(errno);
  return {};
}

}  // namespace

platform::Result<std::string> SaveTarget(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    if (hops == kMaxLinkHops) break;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(current.c_str(), target, sizeof target);
    if (length < 0) return platform::SystemResult(errno);
    if (length == 0 || static_cast<std::size_t>(length) >= sizeof target) {
      return platform::SystemResult(ENAMETOOLONG);
    }
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
  return platform::SystemResult(ELOOP);
}

std::string CheckSaveTarget(const std::string& path) {
  std::string target;
  if (std::string why = Refusal(path, target); !why.empty()) return why;
  const auto [folder, name] = SplitPath(target);
  std::string temp_path;
  const int fd = MakeTemporary(folder, name, temp_path);
  if (fd < 0) return text::FileErrorText(errno);
  ::close(fd);
  ::unlink(temp_path.c_str());
  return {};
}

SaveResult SaveTextFile(const std::string& chosen_path, std::span<const std::string> lines,
                        const StopSignal* stop) {
  return SaveFileBytes(chosen_path, FjlFileBytes(lines), stop);
}

SaveResult SaveFileBytes(const std::string& chosen_path, std::string_view bytes, const StopSignal* stop) {
  std::string path;
  if (std::string why = Refusal(chosen_path, path); !why.empty()) return Failed(why);
  const auto [folder, name] = SplitPath(path);

  std::string temp_path;
  const int fd = MakeTemporary(folder, name, temp_path);
  if (fd < 0) return Failed(errno);

  const auto discard = [&temp_path](int open_fd) {
    if (open_fd >= 0) ::close(open_fd);
    ::unlink(temp_path.c_str());
  };
  const auto fail = [&discard](int error, int open_fd) {
    discard(open_fd);
    return Failed(error);
  };
  const auto stopped = [&discard](int open_fd) {
    discard(open_fd);
    return SaveResult{false, true, {}};
  };

  if (::fchmod(fd, TargetMode(path)) != 0) return fail(errno, fd);
  for (std::string_view rest = bytes; !rest.empty();) {
    if (StopRequested(stop)) return stopped(fd);
    const std::string_view block = rest.substr(0, kWriteBlock);
    if (!WriteAll(fd, block)) return fail(errno, fd);
    rest.remove_prefix(block.size());
  }
  if (::fsync(fd) != 0) return fail(errno, fd);
  if (::close(fd) != 0) return fail(errno, -1);
  // The last point at which a stop leaves the earlier file as it was; after
  // the rename the new file is whole and the save has happened.
  if (StopRequested(stop)) return stopped(-1);
  if (::rename(temp_path.c_str(), path.c_str()) != 0) return fail(errno, -1);
  SyncFolder(folder);
  return {true, false, {}};
}

}  // namespace fjl::output
