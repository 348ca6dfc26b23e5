#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "output/save_text_file.h"
#include "platform/utf8_path.h"

namespace fjl::output {
namespace {

namespace fs = std::filesystem;
using platform::SystemResult;

class SaveWin32Test : public ::testing::Test {
 protected:
  void SetUp() override {
    std::random_device random;
    folder_ = fs::temp_directory_path() / ("fjl_save_" + std::to_string(random()));
    ASSERT_TRUE(fs::create_directory(folder_));
  }
  void TearDown() override { fs::remove_all(folder_); }

  // The folder as UTF-8 text with `separator` between its parts.
  std::string Folder(char separator) const {
    std::string text = platform::Utf8FromPath(folder_);
    for (char& c : text) {
      if (c == '/' || c == '\\') c = separator;
    }
    return text + separator;
  }

  static std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Nothing but the named files: no temporary file left behind.
  std::size_t FileCount() const {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
  }

  fs::path folder_;
};

TEST_F(SaveWin32Test, BothSeparatorsReachTheFolder) {
  const std::vector<std::string> lines = {"Касса"};
  for (const char separator : {'\\', '/'}) {
    const std::string path = Folder(separator) + "tape.FJL";
    const SystemResult saved = SaveTextFile(path, lines);
    ASSERT_TRUE(saved) << path << ": " << saved.UserText();
    EXPECT_EQ(Read(folder_ / "tape.FJL"), "\xCA\xE0\xF1\xF1\xE0\r\n");
  }
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(SaveWin32Test, ASecondSaveReplacesTheFirst) {
  const std::string path = Folder('\\') + "tape.FJL";
  ASSERT_TRUE(SaveTextFile(path, std::vector<std::string>{"first", "run"}));
  const SystemResult again = SaveTextFile(path, std::vector<std::string>{"2"});
  ASSERT_TRUE(again) << again.UserText();
  EXPECT_EQ(Read(folder_ / "tape.FJL"), "2\r\n");
  EXPECT_EQ(FileCount(), 1u);
}

TEST_F(SaveWin32Test, CyrillicNamesArePassedWide) {
  // "лента.FJL": no ANSI code page of Western Windows holds these letters.
  const SystemResult saved = SaveTextFile(Folder('\\') + "лента.FJL", std::vector<std::string>{"x"});
  ASSERT_TRUE(saved) << saved.UserText();
  EXPECT_EQ(Read(folder_ / fs::path(std::u16string(u"\u043b\u0435\u043d\u0442\u0430.FJL"))), "x\r\n");
}

TEST_F(SaveWin32Test, FoldersAndDeviceNamesAreRefused) {
  fs::create_directory(folder_ / "sub");
  const std::vector<std::string> lines = {"x"};
  EXPECT_FALSE(SaveTextFile(Folder('\\') + "sub", lines));
  EXPECT_FALSE(SaveTextFile(Folder('\\'), lines));
  for (const char* device : {"NUL", "con.FJL", "COM1", "lpt9.txt"}) {
    const SystemResult saved = SaveTextFile(Folder('\\') + device, lines);
    EXPECT_FALSE(saved) << device;
    EXPECT_EQ(saved.UserText(), kNotARegularFile) << device;
  }
  EXPECT_TRUE(SaveTextFile(Folder('\\') + "COM10.FJL", lines)) << "only COM1..COM9 are devices";
  EXPECT_TRUE(fs::is_directory(folder_ / "sub"));
}

TEST_F(SaveWin32Test, AReadOnlyFileIsRefusedAndKept) {
  const std::string path = Folder('\\') + "kept.FJL";
  ASSERT_TRUE(SaveTextFile(path, std::vector<std::string>{"old"}));
  const std::wstring wide = (folder_ / "kept.FJL").wstring();
  ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
  const SystemResult saved = SaveTextFile(path, std::vector<std::string>{"new"});
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.UserText(), "Нет прав доступа");
  EXPECT_EQ(CheckSaveTarget(path).UserText(), "Нет прав доступа") << "found before anything is downloaded";
  EXPECT_EQ(Read(folder_ / "kept.FJL"), "old\r\n");
  EXPECT_EQ(FileCount(), 1u);
  ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(SaveWin32Test, AStopBeforeTheMoveLeavesNothingBehind) {
  struct Stopped : StopSignal {
    bool StopRequested() const override { return true; }
  } stop;
  const SystemResult saved = SaveTextFile(Folder('\\') + "tape.FJL", std::vector<std::string>{"x"}, &stop);
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.Kind(), platform::ErrorKind::Cancelled);
  EXPECT_EQ(FileCount(), 0u);
}

TEST_F(SaveWin32Test, AMissingFolderFailsWithTheSystemsReason) {
  const SystemResult saved = SaveTextFile(Folder('\\') + "missing\\tape.FJL", std::vector<std::string>{"x"});
  EXPECT_FALSE(saved);
  EXPECT_EQ(saved.UserText(), "Нет такой папки");
  EXPECT_EQ(FileCount(), 0u);
}

}  // namespace
}  // namespace fjl::output
