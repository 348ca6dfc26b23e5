// Saving the restored tape where it cannot go: a read-only folder, a folder
// name that is a file, a full disk. The step 3 window shows
// "<path>: <system message>"; what matters here is that system message,
// that an earlier FJL file of that name is left exactly as it was, that no
// temporary file is left beside it, and that a second save succeeds once
// there is room again.
//
// Root writes into a folder without write permission, so the read-only and
// full cases use a small tmpfs, mounted for the test; where mounting is not
// allowed they are skipped and say why.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "cli/cli_test_support.h"
#include "fault_harness.h"

namespace fjl::e2e {
namespace {

const std::string kEarlier = "an earlier FJL file\r\n";

// The small journal restored into the box, as step 3 holds it before "Сохранить".
class SaveFault : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(w.ReadTape(), tape::DownloadOutcome::Success);
    ASSERT_EQ(w.ReadAux(), tape::DownloadOutcome::Success);
    ASSERT_EQ(w.Restore(), restore::RestoreOutcome::Completed);
    ASSERT_EQ(w.box.lines, cli::testing::SmallJournalLines());
  }
  std::string Expected() const { return cli::testing::FjlBytes(cli::testing::SmallJournalLines()); }

  sim::Simulator printer{cli::testing::SmallJournalPrinter()};
  InProcessLink line{printer};
  Wizard w{line.link};
  Scratch scratch;
};

TEST_F(SaveFault, ReadOnlyFolderKeepsTheEarlierFileAndTheSaveWorksOnceWritable) {
  TmpfsMount mount(scratch / "mnt", "64k");
  if (!mount.Mounted()) GTEST_SKIP() << mount.Why();
  const std::string path = scratch / "mnt/tape.FJL";
  WriteFile(path, kEarlier);
  if (!mount.SetReadOnly(true)) GTEST_SKIP() << "cannot remount the tmpfs read-only";

  const platform::SystemResult saved = w.Save(path);
  EXPECT_FALSE(saved.Ok());
  EXPECT_EQ(saved.UserText(), "Диск доступен только для чтения");
  EXPECT_EQ(ReadFile(path), kEarlier);
  EXPECT_EQ(NamesIn(scratch / "mnt"), std::vector<std::string>{"tape.FJL"});
  // A new name there fails the same way and leaves nothing.
  EXPECT_EQ(w.Save(scratch / "mnt/other.FJL").UserText(), "Диск доступен только для чтения");
  EXPECT_EQ(NamesIn(scratch / "mnt"), std::vector<std::string>{"tape.FJL"});

  ASSERT_TRUE(mount.SetReadOnly(false));
  EXPECT_TRUE(w.Save(path).Ok());
  EXPECT_EQ(ReadFile(path), Expected());
}

TEST_F(SaveFault, FolderThatIsAFileIsRefusedAndAnotherNameWorks) {
  WriteFile(scratch / "tapes", kEarlier);

  const platform::SystemResult saved = w.Save(scratch / "tapes/day.FJL");
  EXPECT_FALSE(saved.Ok());
  EXPECT_EQ(saved.UserText(), "Часть пути не является папкой");
  EXPECT_EQ(ReadFile(scratch / "tapes"), kEarlier);

  EXPECT_TRUE(w.Save(scratch / "day.FJL").Ok());
  EXPECT_EQ(ReadFile(scratch / "day.FJL"), Expected());
}

TEST_F(SaveFault, FolderWithoutWritePermission) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into any folder; the read-only tmpfs case covers this";
  const std::string folder = scratch / "locked";
  ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
  WriteFile(folder + "/tape.FJL", kEarlier);
  ASSERT_EQ(::chmod(folder.c_str(), 0500), 0);

  const platform::SystemResult saved = w.Save(folder + "/tape.FJL");
  ::chmod(folder.c_str(), 0700);
  EXPECT_FALSE(saved.Ok());
  EXPECT_EQ(saved.UserText(), "Нет прав доступа");
  EXPECT_EQ(ReadFile(folder + "/tape.FJL"), kEarlier);
}

TEST_F(SaveFault, FullDiskKeepsTheEarlierFileAndTheSaveWorksOnceThereIsRoom) {
  TmpfsMount mount(scratch / "mnt", "16k");
  if (!mount.Mounted()) GTEST_SKIP() << mount.Why();
  const std::string path = scratch / "mnt/tape.FJL";
  WriteFile(path, kEarlier);
  ASSERT_TRUE(mount.FillUp());
  ASSERT_GT(Expected().size(), 1000u);  // the text needs a block the disk no longer has

  const platform::SystemResult saved = w.Save(path);
  EXPECT_FALSE(saved.Ok());
  EXPECT_EQ(saved.UserText(), "Нет места на диске");
  EXPECT_EQ(ReadFile(path), kEarlier);
  EXPECT_EQ(NamesIn(scratch / "mnt"), (std::vector<std::string>{"filler", "tape.FJL"}));
  // The box is what it was: saving never changes it.
  EXPECT_EQ(w.box.lines, cli::testing::SmallJournalLines());

  ASSERT_EQ(::unlink((scratch / "mnt/filler").c_str()), 0);
  EXPECT_TRUE(w.Save(path).Ok());
  EXPECT_EQ(ReadFile(path), Expected());
  EXPECT_EQ(NamesIn(scratch / "mnt"), std::vector<std::string>{"tape.FJL"});
}

// A name that is not a plain file is never renamed over: as root, saving to
// "/dev/stdout" would otherwise turn it into a file.
TEST_F(SaveFault, PipeOrDeviceOfThatNameIsRefusedAndLeftAlone) {
  const std::string pipe = scratch / "pipe.FJL";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
  const platform::SystemResult saved = w.Save(pipe);
  EXPECT_FALSE(saved.Ok());
  EXPECT_EQ(saved.UserText(), "Это не обычный файл (устройство, канал или сокет)");
  struct stat st {};
  ASSERT_EQ(::lstat(pipe.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  const std::string device = scratch / "null";
  if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) GTEST_SKIP() << "cannot make a device node here";
  // Reached through a link, as /dev/stdout is.
  std::filesystem::create_symlink(device, scratch / "stdout");
  EXPECT_EQ(w.Save(scratch / "stdout").UserText(), "Это не обычный файл (устройство, канал или сокет)");
  ASSERT_EQ(::lstat(device.c_str(), &st), 0);
  EXPECT_TRUE(S_ISCHR(st.st_mode));
  EXPECT_TRUE(std::filesystem::is_symlink(scratch / "stdout"));
  EXPECT_EQ(NamesIn(scratch.Path().string()), (std::vector<std::string>{"null", "pipe.FJL", "stdout"}));
}

TEST_F(SaveFault, SavingThroughALinkReplacesTheFileItPointsTo) {
  std::filesystem::create_directory(scratch / "archive");
  WriteFile(scratch / "archive/2025-01-03.FJL", kEarlier);
  std::filesystem::create_symlink("archive/2025-01-03.FJL", scratch / "latest.FJL");

  EXPECT_TRUE(w.Save(scratch / "latest.FJL").Ok());
  EXPECT_TRUE(std::filesystem::is_symlink(scratch / "latest.FJL"));
  EXPECT_EQ(ReadFile(scratch / "archive/2025-01-03.FJL"), Expected());
  EXPECT_EQ(NamesIn(scratch / "archive"), std::vector<std::string>{"2025-01-03.FJL"});
}

}  // namespace
}  // namespace fjl::e2e
