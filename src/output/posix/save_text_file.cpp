#include "output/save_text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string_view>
#include <vector>


namespace fjl::output {
namespace {

std::string SystemMessage(int error) { return std::strerror(error); }

// The folder part of `path` ("." for a bare name) and the name part.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// The file a name stands for: a symbolic link is followed (to a bounded
// depth), so that saving through it replaces the file it points to and
// leaves the link in place, as writing the file directly would.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
    if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target) return path;
    const std::string link(target, static_cast<std::size_t>(length));
    if (link.front() == '/') {
      path = link;
    } else {
      const std::size_t slash = path.find_last_of('/');
      path = slash == std::string::npos ? link : path.substr(0, slash + 1) + link;
    }
  }
  return path;
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

}  // namespace

SaveResult SaveTextFile(const std::string& chosen_path, std::span<const std::string> lines) {
  const std::string bytes = FjlFileBytes(lines);
  const std::string path = FollowLinks(chosen_path);
  const auto [folder, name] = SplitPath(path);
  if (name.empty()) return {false, SystemMessage(EISDIR)};
  // A device, pipe or socket of that name must never be renamed over: as
  // root, saving to "/dev/stdout" would otherwise replace it with a file.
  struct stat existing {};
  if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode)) {
    return {false, S_ISDIR(existing.st_mode) ? SystemMessage(EISDIR) : std::string(kNotARegularFile)};
  }

  std::string temp_path = (folder == "/" ? "" : folder) + "/." + name + ".XXXXXX";
  std::vector<char> temp_name(temp_path.begin(), temp_path.end());
  temp_name.push_back('\0');
  const int fd = ::mkostemp(temp_name.data(), O_CLOEXEC);
  if (fd < 0) return {false, SystemMessage(errno)};
  temp_path.assign(temp_name.data());

  const auto fail = [&temp_path](int error, int open_fd) {
    if (open_fd >= 0) ::close(open_fd);
    ::unlink(temp_path.c_str());
    return SaveResult{false, SystemMessage(error)};
  };

  if (::fchmod(fd, TargetMode(path)) != 0) return fail(errno, fd);
  if (!WriteAll(fd, bytes)) return fail(errno, fd);
  if (::fsync(fd) != 0) return fail(errno, fd);
  if (::close(fd) != 0) return fail(errno, -1);
  if (::rename(temp_path.c_str(), path.c_str()) != 0) return fail(errno, -1);
  SyncFolder(folder);
  return {true, {}};
}

}  // namespace fjl::output
