#pragma once
// The per-user folder every download is kept in unless the user names a
// dump folder: one folder per printer, named by its serial number, so the
// next press (or the next run, days later) can go on where a download
// stopped. Old folders go after 30 days, and no more than a score are kept.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/system_result.h"

namespace fjl::dump {

inline constexpr auto kKeptFor = std::chrono::hours(24 * 30);
inline constexpr std::size_t kKeptFolders = 20;

// The folder of kept downloads under the user's cache folder (see
// platform::UserCacheFolder); empty, keeping nothing, when there is none.
std::filesystem::path KeptDownloadsRoot(const std::string& user_cache);

// The folder under `root` for the printer with `serial`: letters, digits,
// '-' and '_' as they are, anything else as '_'; "unknown" when the printer
// did not give it; never a name Windows keeps for a device.
std::filesystem::path KeptDownloadFolder(const std::filesystem::path& root, std::string_view serial);

// The line speeds the downloads kept under `root` were read at, each once,
// the most recently written first: where to look for a printer whose kept
// download is to go on.
std::vector<std::int32_t> KeptSpeeds(const std::filesystem::path& root);

// Removes the files of a dump from `folder`, so a new download begins there;
// anything else in it stays. The failure names the file that would not go.
platform::SystemResult ClearDump(const std::filesystem::path& folder);

// Removes the folders under `root` last written before `now - kKeptFor`,
// then the oldest beyond kKeptFolders; `in_use` stays whatever its age.
void PruneKeptDownloads(const std::filesystem::path& root, const std::filesystem::path& in_use,
                        std::filesystem::file_time_type now = std::filesystem::file_time_type::clock::now());

}  // namespace fjl::dump
