#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dump/dump_folder.h"
#include "dump/stored_check.h"
#include "platform/device_name.h"

namespace fjl::dump {
namespace {

TEST(DeviceNames, WindowsDevicesWhateverFollowsTheirDot) {
  const std::pair<const char*, bool> cases[] = {
      {"AUX", true},       {"aux.bin", true},   {"Con.txt", true}, {"nul.tar.gz", true}, {"COM1", true},
      {"lpt9.log", true},  {"prn ", true},      {"COM0", false},   {"COM10", false},     {"auxiliary.bin", false},
      {"console", false},  {".aux", false},     {"tape.bin", false},
  };
  for (const auto& [name, device] : cases) EXPECT_EQ(platform::IsWindowsDeviceName(name), device) << name;
}

// Every name the program gives a file of a dump folder, the state file's
// temporary name included, is a file on Windows too.
TEST(DeviceNames, NoFileOfADumpFolderIsADevice) {
  std::vector<std::string> names(kDumpFileNames.begin(), kDumpFileNames.end());
  names.emplace_back(kLockFileName);
  names.push_back(std::string(kStateFileName) + ".new");
  for (const std::string& name : names) EXPECT_FALSE(platform::IsWindowsDeviceName(name)) << name;
}

// The first chunk, the last stored one, and the rest spread evenly between
// them; a short area is compared whole, chunk by chunk.
TEST(StoredCheck, ChunksReadAgain) {
  struct Case {
    std::int64_t length;
    std::int64_t chunk;
    std::vector<std::int64_t> offsets;
  };
  const Case cases[] = {
      {0, 100, {}},
      {30, 100, {0}},
      {100, 100, {0}},
      {150, 50, {0, 50, 100}},
      {800, 100, {0, 100, 200, 300, 400, 500, 600, 700}},
      // 199,904 / 7 = 28,557.7: the six between at its multiples, rounded down.
      {200004, 100, {0, 28557, 57115, 85673, 114230, 142788, 171346, 199904}},
      // No chunk known yet: the largest a reply carries.
      {1000, 0, {0, 128, 257, 385, 514, 642, 771, 900}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckOffsets(c.length, c.chunk), c.offsets) << c.length << " / " << c.chunk;
  }
}

}  // namespace
}  // namespace fjl::dump
