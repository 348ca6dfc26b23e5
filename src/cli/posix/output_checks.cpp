#include "cli/output_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>
#include <vector>

namespace fjl::cli {
namespace {

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Why(const std::string& what, int error) { return what + ": " + std::strerror(error); }

// Permissions are only a guess (root ignores them, a read-only mount does
// not): the one true test is to make a file there and take it away again.
std::string CheckFolderTakesFiles(const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return Why(folder, errno);
  if (!S_ISDIR(st.st_mode)) return folder + ": not a folder";
  std::string probe = (folder == "/" ? "" : folder) + "/.fjl-write-test.XXXXXX";
  std::vector<char> name(probe.begin(), probe.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return Why(folder, errno);
  ::close(fd);
  ::unlink(name.data());
  return {};
}

bool WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = EIO;
      return false;
    }
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

std::string CheckOutputFile(const std::string& path) {
  if (path.empty() || path.back() == '/') return path + ": names a folder, not a file";
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return path + ": names a folder, not a file";
    // The save would refuse a device or a pipe only after the whole download.
    if (!S_ISREG(st.st_mode)) return path + ": not a regular file";
  }
  return CheckFolderTakesFiles(Folder(path));
}

std::string CheckLogFile(const std::string& path) {
  if (path.empty() || path.back() == '/') return path + ": names a folder, not a file";
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return Why(path, errno);
  ::close(fd);
  return {};
}

std::string PrepareDumpFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return Why(folder, errno);
  return CheckFolderTakesFiles(folder);
}

std::string WriteDumpFile(const std::string& folder, const std::string& name,
                          std::span<const std::uint8_t> bytes) {
  const std::string path = (folder == "/" ? "" : folder) + "/" + name;
  std::string temp = (folder == "/" ? "" : folder) + "/." + name + ".XXXXXX";
  std::vector<char> temp_name(temp.begin(), temp.end());
  temp_name.push_back('\0');
  const int fd = ::mkostemp(temp_name.data(), O_CLOEXEC);
  if (fd < 0) return Why(path, errno);
  temp.assign(temp_name.data());
  const auto fail = [&](int error, bool open) {
    if (open) ::close(fd);
    ::unlink(temp.c_str());
    return Why(path, error);
  };
  // mkostemp makes the file private; a dump is as readable as any new file.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0) return fail(errno, true);
  if (!WriteAll(fd, bytes)) return fail(errno, true);
  if (::fsync(fd) != 0) return fail(errno, true);
  if (::close(fd) != 0) return fail(errno, false);
  if (::rename(temp.c_str(), path.c_str()) != 0) return fail(errno, false);
  return {};
}

}  // namespace fjl::cli
