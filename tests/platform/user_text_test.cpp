// The user's words for a failure: Russian for the file errors a user can
// act on, the system's own text for anything else, a program failure's
// text as it stands, and the file it befell in front when one is named.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/system_result.h"

namespace fjl::platform {
namespace {

TEST(UserText, CommonFileErrorsInRussianOthersAsTheSystemSaysThem) {
  const std::pair<int, const char*> russian[] = {
      {ENOSPC, "Нет места на диске"},
      {EDQUOT, "Превышена дисковая квота"},
      {EROFS, "Диск доступен только для чтения"},
      {EACCES, "Нет прав доступа"},
      {EPERM, "Нет прав доступа"},
      {ENAMETOOLONG, "Слишком длинное имя файла"},
      {ENOENT, "Нет такой папки"},
      {ENOTDIR, "Часть пути не является папкой"},
      {EISDIR, "Это папка, а не файл"},
      {ELOOP, "Символьные ссылки замкнуты в кольцо"},
  };
  for (const auto& [code, text] : russian) EXPECT_EQ(SystemResult(code).UserText(), text) << code;
  for (const int code : {EIO, EFBIG, EBUSY}) EXPECT_EQ(SystemResult(code).UserText(), std::strerror(code)) << code;
  EXPECT_FALSE(SystemResult(99999).UserText().empty());
}

TEST(UserText, AProgramFailureSaysItsOwnText) {
  const SystemResult damaged = SystemResult::Program("dump damaged");
  EXPECT_FALSE(damaged.Ok());
  EXPECT_EQ(damaged.Numbering(), ErrorNumbering::Program);
  EXPECT_EQ(damaged.Kind(), ErrorKind::Other);
  EXPECT_EQ(damaged.UserText(), "dump damaged");
  EXPECT_EQ(damaged.UserMessage(), "dump damaged");
}

TEST(UserText, TheFileAFailureBefellComesFirst) {
  const SystemResult full = SystemResult(ENOSPC).About("/tmp/dump/state.txt");
  EXPECT_EQ(full.Subject(), "/tmp/dump/state.txt");
  EXPECT_EQ(full.Code(), ENOSPC);
  EXPECT_EQ(full.UserText(), "Нет места на диске");
  EXPECT_EQ(full.UserMessage(), "/tmp/dump/state.txt: Нет места на диске");
  EXPECT_EQ(SystemResult::Program("is larger than its flash window").About("tape.bin").UserMessage(),
            "tape.bin: is larger than its flash window");
  EXPECT_TRUE(SystemResult().About("tape.bin").Ok());
}

TEST(UserText, AStopIsACancelledOperation) {
  EXPECT_EQ(SystemResult(ECANCELED).Kind(), ErrorKind::Cancelled);
  EXPECT_FALSE(SystemResult(ECANCELED).Ok());
}

}  // namespace
}  // namespace fjl::platform
