// A failure is read in the numbering that gave it: the runtime's errno and
// the standard library's error categories reach the same words as the
// system's own codes.

#include <gtest/gtest.h>

#include <cerrno>
#include <system_error>

#include "platform/system_result.h"

namespace fjl::platform {
namespace {

TEST(ErrorNumbering, RuntimeErrnoAndGenericCategoryKeepTheirMeaning) {
  const std::pair<int, const char*> cases[] = {
      {ENOSPC, "Нет места на диске"},
      {EACCES, "Нет прав доступа"},
      {ENOENT, "Нет такой папки"},
      {EROFS, "Диск доступен только для чтения"},
  };
  for (const auto& [code, text] : cases) {
    EXPECT_EQ(SystemResult::FromErrno(code).UserText(), text) << code;
    EXPECT_EQ(SystemResult::FromErrorCode(std::error_code(code, std::generic_category())).UserText(), text) << code;
  }
}

TEST(ErrorNumbering, SuccessAndHangUpAreToldApart) {
  EXPECT_TRUE(SystemResult::FromErrorCode(std::error_code()).Ok());
  EXPECT_TRUE(SystemResult(0).Ok());
  const SystemResult hung_up = SystemResult::DeviceGone(0);
  EXPECT_FALSE(hung_up.Ok());
  EXPECT_TRUE(hung_up.Gone());
  EXPECT_FALSE(hung_up.Text().empty());
}

TEST(ErrorNumbering, KindGivenByTheCallerWinsButTheSystemTextStays) {
  const SystemResult denied = SystemResult::FromErrno(EACCES);
  const SystemResult busy = denied.As(ErrorKind::Busy);
  EXPECT_EQ(busy.Kind(), ErrorKind::Busy);
  EXPECT_EQ(busy.Text(), denied.Text());
  EXPECT_EQ(busy.Code(), EACCES);
}

}  // namespace
}  // namespace fjl::platform
