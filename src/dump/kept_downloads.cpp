#include "dump/kept_downloads.h"

#include <algorithm>
#include <cctype>
#include <system_error>
#include <utility>
#include <vector>

#include "dump/dump_folder.h"
#include "platform/device_name.h"

namespace fjl::dump {
namespace {

// When a kept folder was last written: its state file's time, or its own.
std::filesystem::file_time_type LastWritten(const std::filesystem::path& folder) {
  std::error_code ec;
  const auto state = std::filesystem::last_write_time(folder / kStateFileName, ec);
  if (!ec) return state;
  const auto own = std::filesystem::last_write_time(folder, ec);
  return ec ? std::filesystem::file_time_type::min() : own;
}

}  // namespace

std::filesystem::path KeptDownloadsRoot(const std::string& user_cache) {
  if (user_cache.empty()) return {};
  return std::filesystem::path(user_cache) / "fjl-restore" / "downloads";
}

std::filesystem::path KeptDownloadFolder(const std::filesystem::path& root, std::string_view serial) {
  std::string name;
  for (const char c : serial) {
    const bool plain = std::isalnum(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 0x80;
    name += plain || c == '-' || c == '_' ? c : '_';
  }
  if (name.empty()) name = "unknown";
  if (platform::IsWindowsDeviceName(name)) name += '_';
  return root / name;
}

std::vector<std::int32_t> KeptSpeeds(const std::filesystem::path& root) {
  std::error_code ec;
  std::vector<std::pair<std::filesystem::file_time_type, std::int32_t>> kept;
  for (const auto& entry : std::filesystem::directory_iterator(root, ec)) {
    if (!entry.is_directory(ec)) continue;
    if (const platform::Result<DumpState> state = LoadState(entry.path())) {
      kept.emplace_back(LastWritten(entry.path()), state->speed);
    }
  }
  std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::int32_t> speeds;
  for (const auto& [when, speed] : kept) {
    if (std::find(speeds.begin(), speeds.end(), speed) == speeds.end()) speeds.push_back(speed);
  }
  return speeds;
}

platform::SystemResult ClearDump(const std::filesystem::path& folder) {
  for (const char* name : kDumpFileNames) {
    std::error_code ec;
    std::filesystem::remove(folder / name, ec);
    if (ec) return platform::SystemResult::FromErrorCode(ec).About((folder / name).string());
  }
  return {};
}

void PruneKeptDownloads(const std::filesystem::path& root, const std::filesystem::path& in_use,
                        std::filesystem::file_time_type now) {
  std::error_code ec;
  std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> kept;
  for (const auto& entry : std::filesystem::directory_iterator(root, ec)) {
    if (!entry.is_directory(ec) || entry.path() == in_use) continue;
    kept.emplace_back(LastWritten(entry.path()), entry.path());
  }
  // Newest first: what lies past the limit, or past the age, goes.
  std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  const std::size_t room = in_use.empty() ? kKeptFolders : kKeptFolders - 1;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    if (i >= room || kept[i].first < now - kKeptFor) std::filesystem::remove_all(kept[i].second, ec);
  }
}

}  // namespace fjl::dump
