#include "output/save_text_file.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

namespace fjl::output {
namespace {

namespace fs = std::filesystem;
using platform::SystemResult;

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
  const SystemResult second = SaveTextFile(target, std::vector<std::string>{"Печать итога"});
  ASSERT_TRUE(second) << second.UserText();
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
  const std::string path = folder_ / "missing" / "tape.FJL";
  const SystemResult result = SaveTextFile(path, std::vector<std::string>{"x"});
  EXPECT_FALSE(result);
  EXPECT_EQ(result.UserText(), "Нет такой папки");
  // The front ends name the file the user chose before the reason.
  EXPECT_EQ(result.UserMessage(), path + ": Нет такой папки");
  EXPECT_EQ(CheckSaveTarget(path).UserMessage(), path + ": Нет такой папки");
  EXPECT_TRUE(FolderNames().empty());
}

TEST_F(SaveTextFileTest, ATargetThatCannotBeReplacedLeavesNoTemporaryFile) {
  const fs::path target = folder_ / "tape.FJL";
  fs::create_directory(target);
  WriteFile(target / "inside", "kept");
  const SystemResult result = SaveTextFile(target, std::vector<std::string>{"x"});
  EXPECT_FALSE(result);
  EXPECT_FALSE(result.UserText().empty());
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
  const SystemResult result = SaveTextFile(target, std::vector<std::string>(50, "a line longer than two bytes"));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, old_handler);

  EXPECT_FALSE(result);
  EXPECT_EQ(result.UserText(), std::strerror(EFBIG));  // no Russian text of its own: the system's
  EXPECT_EQ(ReadFile(target), "earlier content\r\n");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"tape.FJL"});
}

TEST_F(SaveTextFileTest, AProtectedFolderIsReported) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
  const fs::path target = folder_ / "tape.FJL";
  WriteFile(target, "earlier");
  fs::permissions(folder_, fs::perms::owner_read | fs::perms::owner_exec);
  const SystemResult result = SaveTextFile(target, std::vector<std::string>{"x"});
  fs::permissions(folder_, fs::perms::owner_all);
  EXPECT_FALSE(result);
  EXPECT_EQ(result.UserText(), "Нет прав доступа");
  EXPECT_EQ(ReadFile(target), "earlier");
}

// Runs `body` as an ordinary user: directly when this is one, in a child
// that gives up root otherwise (root may write any file, as with ">").
// Answers whether `body` returned true; nullopt when no user could be had.
std::optional<bool> AsOrdinaryUser(const std::function<bool()>& body) {
  if (::geteuid() != 0) return body();
  const pid_t child = ::fork();
  if (child < 0) return std::nullopt;
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(2);
    ::_exit(body() ? 0 : 1);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) == 2) return std::nullopt;
  return WEXITSTATUS(status) == 0;
}

// Names a shell's ">" would not write through are refused, before a
// temporary file is made, and left exactly as they were.
TEST_F(SaveTextFileTest, ReadOnlyFilesAndLoopingLinksAreRefusedAndLeftAlone) {
  WriteFile(folder_ / "locked.FJL", "earlier");
  ASSERT_EQ(::chmod((folder_ / "locked.FJL").c_str(), 0444), 0);
  fs::create_symlink("self.FJL", folder_ / "self.FJL");
  fs::create_symlink("pong.FJL", folder_ / "ping.FJL");
  fs::create_symlink("ping.FJL", folder_ / "pong.FJL");
  const std::vector<std::string> names{"locked.FJL", "ping.FJL", "pong.FJL", "self.FJL"};

  for (const char* link : {"self.FJL", "ping.FJL"}) {
    const SystemResult result = SaveTextFile(folder_ / link, std::vector<std::string>{"x"});
    EXPECT_FALSE(result) << link;
    EXPECT_EQ(result.UserText(), "Символьные ссылки замкнуты в кольцо") << link;
    EXPECT_EQ(CheckSaveTarget(folder_ / link).UserText(), "Символьные ссылки замкнуты в кольцо") << link;
    EXPECT_TRUE(fs::is_symlink(folder_ / link)) << link;
  }

  // The ordinary user may search and write the folder but not the file.
  fs::permissions(folder_, fs::perms::all);
  const std::string locked = folder_ / "locked.FJL";
  const std::optional<bool> refused = AsOrdinaryUser([&locked] {
    const SystemResult result = SaveTextFile(locked, std::vector<std::string>{"x"});
    return !result && result.UserText() == "Нет прав доступа" &&
           CheckSaveTarget(locked).UserText() == "Нет прав доступа";
  });
  ASSERT_TRUE(refused.has_value()) << "no ordinary user to run as";
  EXPECT_TRUE(*refused);
  EXPECT_EQ(ReadFile(folder_ / "locked.FJL"), "earlier");
  EXPECT_EQ(FolderNames(), names);

  if (::geteuid() == 0) {
    // Root is refused nothing, as a shell's ">" refuses root nothing; the file keeps its mode.
    ASSERT_TRUE(SaveTextFile(locked, std::vector<std::string>{"new"}));
    EXPECT_EQ(ReadFile(locked), "new\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(locked.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0444u);
  }
}

// The names a save refuses after the whole download unless they are found
// first: the check makes the very temporary file the save would make.
TEST_F(SaveTextFileTest, CheckFindsWhatTheSaveWouldRefuse) {
  fs::create_symlink("missing/tape.FJL", folder_ / "dangling.FJL");
  struct Case {
    std::string name;
    const char* says;  // "" when the save goes ahead
  };
  const Case cases[] = {
      {std::string(247, 'a'), ""},  // with "." and ".XXXXXX" the temporary name is 255 long
      {std::string(248, 'b'), "Слишком длинное имя файла"},
      {std::string(255, 'c'), "Слишком длинное имя файла"},
      {"dangling.FJL", "Нет такой папки"},
      {"missing/tape.FJL", "Нет такой папки"},
  };
  for (const Case& c : cases) {
    const std::string path = folder_ / c.name;
    EXPECT_EQ(CheckSaveTarget(path).UserText(), c.says) << c.name.size();
    const SystemResult saved = SaveTextFile(path, std::vector<std::string>{"x"});
    EXPECT_EQ(saved.Ok(), *c.says == '\0') << c.name.size();
    EXPECT_EQ(saved.UserText(), c.says) << c.name.size();
  }
  EXPECT_EQ(FolderNames(), (std::vector<std::string>{std::string(247, 'a'), "dangling.FJL"}));
}

// A stop request polled while the save writes: at its first poll, between
// two blocks, and at the last one before the new file takes the name. Each
// leaves the earlier file and no temporary file.
// A stop signal that answers yes at its stop_at-th poll.
struct Polls final : StopSignal {
  bool StopRequested() const override { return ++count == stop_at; }
  mutable int count = 0;
  int stop_at = 0;  // never, while 0
};

TEST_F(SaveTextFileTest, AStopRequestLeavesTheEarlierFileAndNoTemporaryOne) {
  const fs::path target = folder_ / "tape.FJL";
  const std::vector<std::string> lines(20000, "     количество=1.500,");  // some 420 kB
  Polls whole;
  ASSERT_TRUE(SaveTextFile(target, lines, &whole));
  const std::string saved = ReadFile(target);
  ASSERT_GE(whole.count, 3) << "polled between blocks, not only at the ends";

  WriteFile(target, "earlier");
  for (const int stop_at : {1, 2, whole.count}) {
    Polls stop;
    stop.stop_at = stop_at;
    const SystemResult result = SaveTextFile(target, lines, &stop);
    EXPECT_FALSE(result) << stop_at;
    EXPECT_EQ(result.Kind(), platform::ErrorKind::Cancelled) << stop_at;
    EXPECT_EQ(stop.count, stop_at) << "nothing polled after the stop";
    EXPECT_EQ(ReadFile(target), "earlier") << stop_at;
    EXPECT_EQ(FolderNames(), std::vector<std::string>{"tape.FJL"}) << stop_at;
  }
  Polls late;
  late.stop_at = whole.count + 1;
  ASSERT_TRUE(SaveTextFile(target, lines, &late));
  EXPECT_EQ(ReadFile(target), saved);
}

// A text saved as it is made: its parts in order, however long; after a
// stop the parts still handed over are neither polled for nor written.
TEST_F(SaveTextFileTest, ATextWrittenAsItIsMadeKeepsItsPartsInOrder) {
  const fs::path target = folder_ / "data.json";
  const std::string big(200 * 1024, 'x');  // more than one block
  const auto produce = [&big](const PartWriter& write) {
    write("{");
    write("");
    write(big);
    write("}");
  };
  ASSERT_TRUE(SaveFileWritten(target, produce));
  EXPECT_EQ(ReadFile(target), "{" + big + "}");

  Polls stop;
  stop.stop_at = 2;  // the first block of the long part
  const SystemResult result = SaveFileWritten(target, produce, &stop);
  EXPECT_EQ(result.Kind(), platform::ErrorKind::Cancelled);
  EXPECT_EQ(stop.count, 2);
  EXPECT_EQ(ReadFile(target), "{" + big + "}");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"data.json"});
}

}  // namespace
}  // namespace fjl::output
