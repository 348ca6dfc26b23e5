// The CLI's checks of its output files on Windows, with wide names and both
// separators.

#include "cli/output_checks.h"

#include <windows.h>

#include <vector>

#include "dump/dump_folder.h"
#include "output/save_text_file.h"
#include "platform/win32/wide_text.h"

namespace fjl::cli {
namespace {

using platform::SystemResult;

SystemResult Why(const std::string& what, DWORD error) { return SystemResult(static_cast<int>(error)).About(what); }

bool EndsInSeparator(const std::string& path) { return !path.empty() && (path.back() == '/' || path.back() == '\\'); }

std::wstring InFolder(const std::string& folder, const std::wstring& name) {
  std::wstring path = platform::WideFromUtf8(folder);
  if (!path.empty() && path.back() != L'/' && path.back() != L'\\') path += L'\\';
  return path + name;
}

}  // namespace

// Attributes say little (a read-only share, an ACL): the one true test is
// to make a file there and take it away again.
SystemResult CheckFolderTakesFiles(const std::string& folder) {
  const DWORD attributes = ::GetFileAttributesW(platform::WideFromUtf8(folder).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Why(folder, ::GetLastError());
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return Why(folder, ERROR_DIRECTORY);
  const std::wstring probe = InFolder(folder, L".fjl-write-test." + std::to_wstring(::GetCurrentProcessId()));
  HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Why(folder, ::GetLastError());
  ::CloseHandle(file);
  return {};
}

namespace {

// One spelling per file: the full path, '\' between its parts, in upper
// case (names compare ignoring case on Windows).
std::wstring Spelling(const std::string& path) {
  const std::wstring wide = platform::WideFromUtf8(path);
  wchar_t full[MAX_PATH * 4];
  const DWORD length = ::GetFullPathNameW(wide.c_str(), MAX_PATH * 4, full, nullptr);
  std::wstring spelled = length > 0 && length < MAX_PATH * 4 ? std::wstring(full, length) : wide;
  for (wchar_t& c : spelled) c = c == L'/' ? L'\\' : static_cast<wchar_t>(::towupper(c));
  while (spelled.size() > 3 && spelled.back() == L'\\') spelled.pop_back();
  return spelled;
}

struct FileName {
  std::string option;  // how the command line named it
  std::string shown;   // the name the message shows
  std::wstring spelled;
};

}  // namespace

SystemResult CheckOutputFile(const std::string& path) { return output::CheckSaveTarget(path); }

SystemResult CheckLogFile(const std::string& path) {
  if (path.empty() || EndsInSeparator(path)) return Why(path, ERROR_DIRECTORY);
  HANDLE file = ::CreateFileW(platform::WideFromUtf8(path).c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
  if (file == INVALID_HANDLE_VALUE) return Why(path, ::GetLastError());
  ::CloseHandle(file);
  return {};
}

SystemResult PrepareDumpFolder(const std::string& folder) {
  if (!::CreateDirectoryW(platform::WideFromUtf8(folder).c_str(), nullptr) &&
      ::GetLastError() != ERROR_ALREADY_EXISTS) {
    return Why(folder, ::GetLastError());
  }
  return CheckFolderTakesFiles(folder);
}

SystemResult CheckFilesApart(const std::string& output, const std::optional<std::string>& log,
                             const std::optional<std::string>& dump, const std::string& dump_option,
                             std::span<const NamedFile> more, const Catalogue& texts) {
  std::vector<FileName> files;
  if (!output.empty()) files.push_back({"--output", output, Spelling(output)});
  for (const NamedFile& file : more) files.push_back({file.option, file.path, Spelling(file.path)});
  if (log) files.push_back({"--log", *log, Spelling(*log)});
  if (dump) {
    for (const char* name : dump::kDumpFileNames) {
      const std::string path = *dump + "\\" + name;
      files.push_back({dump_option, path, Spelling(path)});
    }
    files.push_back({dump_option, *dump, Spelling(*dump)});
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    for (std::size_t j = i + 1; j < files.size(); ++j) {
      if (files[i].option == files[j].option || files[i].spelled != files[j].spelled) continue;
      return SystemResult::Program(texts.Text("files.same", {{"option", files[j].option},
                                                             {"file", files[j].shown},
                                                             {"other_option", files[i].option},
                                                             {"other_file", files[i].shown}}));
    }
  }
  return {};
}

}  // namespace fjl::cli
