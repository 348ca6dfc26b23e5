#include "output/save_text_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "output/save_dialog.h"

namespace fjl::output {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

class SaveTextFileTest : public ::testing::Test {
 protected:
  SaveTextFileTest() {
    char pattern[] = "/tmp/fjl_save_XXXXXX";
    folder_ = ::mkdtemp(pattern);
  }
  ~SaveTextFileTest() override {
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, ignored);
    fs::remove_all(folder_, ignored);
  }
  // Names in the folder: no temporary file may be left behind.
  std::vector<std::string> FolderNames() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  fs::path folder_;
};

TEST(FjlFileBytes, EveryLineEndsWithCrLfInWindows1251) {
  EXPECT_EQ(FjlFileBytes(std::vector<std::string>{""}), "\r\n");  // the box before any restoration
  EXPECT_EQ(FjlFileBytes(std::vector<std::string>{}), "");
  EXPECT_EQ(FjlFileBytes(std::vector<std::string>{"", "Контрольная лента.", " "}),
            "\r\n\xCA\xEE\xED\xF2\xF0\xEE\xEB\xFC\xED\xE0\xFF \xEB\xE5\xED\xF2\xE0.\r\n \r\n");
  EXPECT_EQ(FjlFileBytes(std::vector<std::string>{"IД - 1", "№ сумма=5.00"}),
            "I\xC4 - 1\r\n\xB9 \xF1\xF3\xEC\xEC\xE0=5.00\r\n");
}

TEST_F(SaveTextFileTest, WritesTheLinesAndReplacesAnEarlierFile) {
  const fs::path target = folder_ / "tape.FJL";
  ASSERT_TRUE(SaveTextFile(target, std::vector<std::string>{"", "first"}));
  EXPECT_EQ(ReadFile(target), "\r\nfirst\r\n");
  const SaveResult second = SaveTextFile(target, std::vector<std::string>{"Печать итога"});
  ASSERT_TRUE(second) << second.error;
  EXPECT_EQ(ReadFile(target), "\xCF\xE5\xF7\xE0\xF2\xFC \xE8\xF2\xEE\xE3\xE0\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"tape.FJL"});
}

TEST_F(SaveTextFileTest, ANewFileGetsTheUsualPermissionsAndAnOldOneKeepsItsOwn) {
  const fs::path fresh = folder_ / "fresh.FJL";
  const mode_t mask = ::umask(027);
  ASSERT_TRUE(SaveTextFile(fresh, std::vector<std::string>{"x"}));
  ::umask(mask);
  struct stat info {};
  ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);

  const fs::path old = folder_ / "old.FJL";
  WriteFile(old, "old");
  ASSERT_EQ(::chmod(old.c_str(), 0604), 0);
  ASSERT_TRUE(SaveTextFile(old, std::vector<std::string>{"new"}));
  ASSERT_EQ(::stat(old.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0604u);
}

TEST_F(SaveTextFileTest, AFolderThatIsNotThereIsReported) {
  const SaveResult result = SaveTextFile(folder_ / "missing" / "tape.FJL", std::vector<std::string>{"x"});
  EXPECT_FALSE(result);
  EXPECT_EQ(result.error, std::strerror(ENOENT));
  EXPECT_TRUE(FolderNames().empty());
}

TEST_F(SaveTextFileTest, ATargetThatCannotBeReplacedLeavesNoTemporaryFile) {
  const fs::path target = folder_ / "tape.FJL";
  fs::create_directory(target);
  WriteFile(target / "inside", "kept");
  const SaveResult result = SaveTextFile(target, std::vector<std::string>{"x"});
  EXPECT_FALSE(result);
  EXPECT_FALSE(result.error.empty());
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"tape.FJL"});
  EXPECT_EQ(ReadFile(target / "inside"), "kept");
}

TEST_F(SaveTextFileTest, AFailedWriteLeavesTheEarlierFileIntact) {
  // A file size limit makes the write fail part way, as a full disk would.
  const fs::path target = folder_ / "tape.FJL";
  WriteFile(target, "earlier content\r\n");
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto old_handler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 100;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const SaveResult result = SaveTextFile(target, std::vector<std::string>(50, "a line longer than two bytes"));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(result);
  EXPECT_EQ(result.error, std::strerror(EFBIG));
  EXPECT_EQ(ReadFile(target), "earlier content\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"tape.FJL"});
}

TEST_F(SaveTextFileTest, AProtectedFolderIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const fs::path target = folder_ / "tape.FJL";
  WriteFile(target, "earlier");
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  const SaveResult result = SaveTextFile(target, std::vector<std::string>{"x"});
  fs::permissions(folder_, fs::perms::owner_all);
  EXPECT_FALSE(result);
  EXPECT_EQ(result.error, std::strerror(EACCES));
  EXPECT_EQ(ReadFile(target), "earlier");
}

TEST(SaveDialog, CompletesANameWithoutAnExtension) {
  const std::pair<const char*, const char*> cases[] = {
      {"tape", "tape.FJL"},         {"/home/user/tape", "/home/user/tape.FJL"},
      {"tape.", "tape.FJL"},        {"tape.fjl", "tape.fjl"},
      {"tape.txt", "tape.txt"},     {"/home/user.name/tape", "/home/user.name/tape.FJL"},
      {".profile", ".profile.FJL"},
  };
  for (const auto& [typed, saved] : cases) EXPECT_EQ(WithDefaultExtension(typed), saved) << typed;
}

TEST(SaveDialog, TheFilterTextListsEachEntry) {
  std::string joined;
  for (const FileFilter& filter : kSaveDialogFilters) {
    if (!joined.empty()) joined += '|';
    joined += std::string(filter.description) + "|" + std::string(filter.pattern);
  }
  EXPECT_EQ(joined, kSaveDialogFilterText);
  EXPECT_EQ(kSaveDialogFilterText, "Файл контрольной ленты (*.FJL)|*.FJL|Все файлы (*.*)|(*.*)");
}

}  // namespace
}  // namespace fjl::output
