#include "link/session_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "link/device_link.h"
#include "link/fake_channel.h"  // tests/link
#include "text/cp1251.h"

namespace fjl::link {
namespace {

namespace fs = std::filesystem;

// The Russian words of the log, in Windows-1251 as the file holds them.
const std::string kStartWords = "\x3B\xCD\xE0\xF7\xE0\xEB\xEE\x20\xF1\xE5\xE0\xED\xF1\xE0\x20\x20\x20";  // ";Начало сеанса   "
const std::string kEndWords = "\x3B\xCA\xEE\xED\xE5\xF6\x20\xD1\xE5\xE0\xED\xF1\xE0\x20\x20\x20";       // ";Конец Сеанса   "

class TempDir {
 public:
  TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = fs::temp_directory_path() / ("fjl_log_" + std::to_string(random()));
      if (fs::create_directory(path_)) return;
    }
    throw std::runtime_error("no temporary folder");
  }
  ~TempDir() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }
  bool Empty() const { return fs::is_empty(path_); }

 private:
  fs::path path_;
};

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(SessionLogFormat, Entries) {
  const LocalTime morning{6, 12, 2026, 9, 5, 7};
  EXPECT_EQ(SessionLog::FormatEntry(morning, "", "START"), kStartWords + " 6-12-2026  9:05:07 \n");
  EXPECT_EQ(SessionLog::FormatEntry(morning, "END", ""), kEndWords + " 6-12-2026  9:05:07 \n");
  const LocalTime evening{6, 12, 2026, 21, 40, 5};
  EXPECT_EQ(SessionLog::FormatEntry(evening, "21", "21"), "; 6-12-2026 21:40:05  21\n21\n");
  EXPECT_EQ(SessionLog::FormatEntry({31, 1, 2027, 0, 0, 0}, "7E SYN=3", ";\x01\x15"),
            ";31-01-2027  0:00:00  7E SYN=3\n;\x01\x15\n");
}

TEST(SessionLogFormat, StartWordsAreWindows1251) {
  EXPECT_EQ(text::Utf8ToCp1251(";Начало сеанса   "), kStartWords);
  EXPECT_EQ(text::Utf8ToCp1251(";Конец Сеанса   "), kEndWords);
}

TEST(SessionLogFile, NothingWrittenWithoutAName) {
  TempDir dir;
  SessionLog log;
  log.SetDirectorySource([&] { return dir.path(); });
  log.WriteSessionLog("", "START");
  log.WriteSessionLog("21", "21");
  EXPECT_TRUE(dir.Empty());
}

TEST(SessionLogFile, PathIsBuiltOnceAtTheFirstEntry) {
  TempDir first;
  TempDir second;
  fs::path current = first.path();
  SessionLog log;
  log.SetDirectorySource([&] { return current; });
  log.SetClock([] { return LocalTime{1, 2, 2026, 3, 4, 5}; });
  log.SetFileName("session.log");
  log.WriteSessionLog("", "START");
  current = second.path();  // the process changes directory later
  log.WriteSessionLog("END", "");
  EXPECT_TRUE(second.Empty());
  EXPECT_EQ(ReadFile(first.path() / "session.log"),
            kStartWords + " 1-02-2026  3:04:05 \n" + kEndWords + " 1-02-2026  3:04:05 \n");
}

TEST(SessionLogFile, NameIsUtf8OnEveryPlatform) {
  TempDir dir;
  SessionLog log;
  log.SetDirectorySource([&] { return dir.path(); });
  log.SetClock([] { return LocalTime{1, 2, 2026, 3, 4, 5}; });
  log.SetFileName("журнал.log");
  log.WriteSessionLog("", "START");
  // "журнал.log" spelt as UTF-16 code units, so no code page is involved.
  const fs::path expected = dir.path() / fs::path(std::u16string(u"\u0436\u0443\u0440\u043d\u0430\u043b.log"));
  EXPECT_EQ(ReadFile(expected), kStartWords + " 1-02-2026  3:04:05 \n");
}

// A log that cannot be written is skipped, and the entries after the
// folder appears again are written as usual (the path was built once).
TEST(SessionLogFile, UnwritableLogIsSkipped) {
  TempDir dir;
  const fs::path folder = dir.path() / "later";
  SessionLog log;
  log.SetDirectorySource([&] { return folder; });
  log.SetClock([] { return LocalTime{1, 2, 2026, 3, 4, 5}; });
  log.SetFileName("session.log");
  EXPECT_NO_THROW(log.WriteSessionLog("", "START"));
  EXPECT_FALSE(fs::exists(folder / "session.log"));
  fs::create_directory(folder);
  log.WriteSessionLog("END", "");
  EXPECT_EQ(ReadFile(folder / "session.log"), kEndWords + " 1-02-2026  3:04:05 \n");
}

// Entries the file will not take are lost, but the failure is told once per
// file name, and the entries after it are tried again.
TEST(SessionLogFile, TheFirstLostEntryIsToldOnce) {
  SessionLog log;
  std::vector<int> results{0, 28, 0, 5, 0, 9};  // what each write answers
  std::size_t writes = 0;
  log.SetWriter([&](const fs::path&, std::string_view) { return platform::SystemResult(results.at(writes++)); });
  std::vector<int> told;
  log.SetFailureHandler([&](const platform::SystemResult& why) { told.push_back(why.Code()); });
  log.SetFileName("a.log");
  for (const char* body : {"1", "2", "3", "4"}) log.WriteSessionLog("21", body);
  log.SetFileName("b.log");  // a new log has lost nothing yet
  log.WriteSessionLog("", "START");
  log.WriteSessionLog("END", "");
  EXPECT_EQ(writes, 6u);
  EXPECT_EQ(told, (std::vector<int>{28, 9}));
}

class DeviceLinkLogTest : public ::testing::Test {
 protected:
  TempDir dir;
  testing::FakeOpener opener;
  DeviceLink link{opener.Opener()};

  void SetUp() override {
    link.SetLogDirectory([this] { return dir.path(); });
    link.SetLogClock([] { return LocalTime{6, 12, 2026, 21, 40, 5}; });
  }
};

TEST_F(DeviceLinkLogTest, EmptyNameWritesNoFileEvenOnOpenAndClose) {
  ASSERT_GE(link.OpenLink("/dev/ttyS0", 9600), 0);
  link.Exchange(0x21, "");
  link.CloseLink();
  EXPECT_TRUE(dir.Empty());
}

TEST_F(DeviceLinkLogTest, SessionEntries) {
  link.SetSessionLogName("link.log");
  ASSERT_GE(link.OpenLink("/dev/ttyS0", 9600), 0);
  // A late reply to some earlier request comes first: logged as dropped.
  const std::string stale = testing::ReplyFrame(0x7E, 0x42, "0000", "OLD");
  const std::string reply = testing::ReplyFrame(0x21, 0x42, "0000", "AB12");
  opener.line->Reply("\x16\x16" + stale + reply);
  link.Exchange(0x42, "1;");
  link.Exchange(0xF1, "482913;268458935;");  // no reply
  link.CloseLink();
  const std::string stamp = " 6-12-2026 21:40:05";
  EXPECT_EQ(ReadFile(dir.path() / "link.log"),
            kStartWords + stamp + " \n" +                                      //
                ";" + stamp + "  21\n42" + "1;\n" +                            // request
                ";" + stamp + "  7E SYN=2 DROPPED\n;" + stale + "\n" +         // another request's reply
                ";" + stamp + "  21 SYN=2\n;" + reply + "\n" +                 // reply
                ";" + stamp + "  22\nF1482913;268458935;\n" +                  // request
                ";" + stamp + "  21 SYN=0\n;\n" +                              // no reply
                kEndWords + stamp + " \n");
}

TEST_F(DeviceLinkLogTest, ExchangeGoesOnWhenTheLogCannotBeWritten) {
  link.SetLogDirectory([] { return fs::path("/nonexistent/dir"); });
  link.SetSessionLogName("link.log");
  ASSERT_GE(link.OpenLink("/dev/ttyS0", 9600), 0);
  opener.line->Reply(testing::ReplyFrame(0x21, 0x21, "0000", "X"));
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.Fields[0], "X");
}

}  // namespace
}  // namespace fjl::link
