#include "cli/output_checks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

#include "dump/dump_folder.h"
#include "dump/dump_state.h"
#include "output/save_text_file.h"

namespace fjl::cli {
namespace {

std::string Folder(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string Name(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

using platform::SystemResult;

}  // namespace

// Permissions are only a guess (root ignores them, a read-only mount does
// not): the one true test is to make a file there and take it away again.
SystemResult CheckFolderTakesFiles(const std::string& folder) {
  struct stat st {};
  if (::stat(folder.c_str(), &st) != 0) return SystemResult(errno).About(folder);
  if (!S_ISDIR(st.st_mode)) return SystemResult(ENOTDIR).About(folder);
  std::string probe = (folder == "/" ? "" : folder) + "/.fjl-write-test.XXXXXX";
  std::vector<char> name(probe.begin(), probe.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return SystemResult(errno).About(folder);
  ::close(fd);
  ::unlink(name.data());
  return {};
}

namespace {

// One folder entry spelled one way only: its folder with every link, "."
// and ".." resolved, then its own name. A folder that is not there yet is
// spelled out lexically; its later check refuses it anyway.
std::string EntryName(const std::string& path) {
  const std::string folder = Folder(path);
  char resolved[PATH_MAX];
  if (::realpath(folder.c_str(), resolved) != nullptr) {
    const std::string base(resolved);
    return (base == "/" ? "" : base) + "/" + Name(path);
  }
  return std::filesystem::absolute(path).lexically_normal().string();
}

// What a file the run writes is known by.
struct FileKeys {
  std::string option;              // how the command line named it
  std::string shown;               // the name the message shows
  std::vector<std::string> names;  // entries it writes or replaces
  bool exists = false;             // dev and ino are those of the file it opens
  dev_t dev = 0;
  ino_t ino = 0;
};

// A file written through its name, following links (the FJL file, the log):
// the entry as named and the one the links end at.
FileKeys ThroughLinks(std::string option, const std::string& path) {
  FileKeys keys{std::move(option), path, {EntryName(path)}};
  if (const platform::Result<std::string> target = output::SaveTarget(path); target) {
    keys.names.push_back(EntryName(*target));
  }
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    keys.exists = true;
    keys.dev = st.st_dev;
    keys.ino = st.st_ino;
  }
  return keys;
}

bool Clash(const FileKeys& a, const FileKeys& b) {
  if (a.exists && b.exists && a.dev == b.dev && a.ino == b.ino) return true;
  for (const std::string& name : a.names) {
    for (const std::string& other : b.names) {
      if (name == other) return true;
    }
  }
  return false;
}

}  // namespace

SystemResult CheckOutputFile(const std::string& path) { return output::CheckSaveTarget(path); }

SystemResult CheckLogFile(const std::string& path) {
  if (path.empty() || path.back() == '/') return SystemResult(EISDIR).About(path);
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return SystemResult(errno).About(path);
  ::close(fd);
  return {};
}

SystemResult PrepareDumpFolder(const std::string& folder) {
  if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return SystemResult(errno).About(folder);
  return CheckFolderTakesFiles(folder);
}

SystemResult CheckFilesApart(const std::string& output, const std::optional<std::string>& log,
                             const std::optional<std::string>& dump, const std::string& dump_option,
                             std::span<const NamedFile> more, const Catalogue& texts) {
  std::vector<FileKeys> files;
  if (!output.empty()) files.push_back(ThroughLinks("--output", output));
  for (const NamedFile& file : more) files.push_back(ThroughLinks(file.option, file.path));
  if (log) files.push_back(ThroughLinks("--log", *log));
  if (dump) {
    // The folder must not be another file's name either.
    std::string folder = *dump;
    while (folder.size() > 1 && folder.ends_with('/')) folder.pop_back();
    // The images are written through links, so a link there counts as its target.
    for (const char* name : dump::kDumpFileNames) {
      files.push_back(ThroughLinks(dump_option, (folder == "/" ? "" : folder) + "/" + name));
    }
    files.push_back({dump_option, *dump, {EntryName(folder)}});
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    for (std::size_t j = i + 1; j < files.size(); ++j) {
      if (files[i].option == files[j].option || !Clash(files[i], files[j])) continue;
      return SystemResult::Program(texts.Text("files.same", {{"option", files[j].option},
                                                             {"file", files[j].shown},
                                                             {"other_option", files[i].option},
                                                             {"other_file", files[i].shown}}));
    }
  }
  return {};
}

}  // namespace fjl::cli
