// A file kept open for appending: it keeps or empties what was there, takes
// every byte at its end, and says why when it cannot be opened.

#include "platform/file_append.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

namespace fjl::platform {
namespace {

namespace fs = std::filesystem;

class AppendingFileTest : public ::testing::Test {
 protected:
  AppendingFileTest() {
    folder_ = fs::temp_directory_path() / ("fjl_append_" + std::to_string(std::random_device()()));
    fs::create_directory(folder_);
  }
  ~AppendingFileTest() override {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }
  static void Write(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
  }
  fs::path folder_;
};

TEST_F(AppendingFileTest, KeepsWhatWasThereAndAddsAtTheEnd) {
  const fs::path path = folder_ / "tape.bin";
  Write(path, "first ");
  AppendingFile file;
  ASSERT_TRUE(file.Open(path, AppendingFile::Opening::Keep));
  EXPECT_TRUE(file.IsOpen());
  ASSERT_TRUE(file.Write("second "));
  // Each write is the system's at once: a reader sees it before the close.
  EXPECT_EQ(Read(path), "first second ");
  ASSERT_TRUE(file.Write(std::string("\0\xFF", 2)));
  ASSERT_TRUE(file.Close());
  EXPECT_FALSE(file.IsOpen());
  EXPECT_EQ(Read(path), std::string("first second \0\xFF", 15));
}

TEST_F(AppendingFileTest, EmptiesAnEarlierFileWhenAskedAndMakesAMissingOne) {
  const fs::path old_file = folder_ / "answers.txt";
  Write(old_file, "an earlier run's answers");
  AppendingFile file;
  ASSERT_TRUE(file.Open(old_file, AppendingFile::Opening::Empty));
  ASSERT_TRUE(file.Write("new"));
  // Opening another file closes the first.
  const fs::path fresh = folder_ / "state.txt.new";
  ASSERT_TRUE(file.Open(fresh, AppendingFile::Opening::Keep));
  ASSERT_TRUE(file.Write("state"));
  AppendingFile moved = std::move(file);
  EXPECT_FALSE(file.IsOpen());  // NOLINT(bugprone-use-after-move): a moved-from file holds nothing
  ASSERT_TRUE(moved.Close());
  EXPECT_EQ(Read(old_file), "new");
  EXPECT_EQ(Read(fresh), "state");
}

TEST_F(AppendingFileTest, AMissingFolderAndAWriteWithoutAFileAreFailures) {
  AppendingFile file;
  const SystemResult opened = file.Open(folder_ / "missing" / "tape.bin", AppendingFile::Opening::Keep);
  EXPECT_FALSE(opened);
  EXPECT_EQ(opened.Kind(), ErrorKind::NotFound);
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Write("x"));
  EXPECT_TRUE(file.Close()) << "nothing open: nothing to lose";
}

}  // namespace
}  // namespace fjl::platform
