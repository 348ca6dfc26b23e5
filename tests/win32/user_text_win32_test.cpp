#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <system_error>

#include "platform/system_result.h"

namespace fjl::platform {
namespace {

TEST(Win32UserText, CommonFileErrorsInRussianOthersAsTheSystemSaysThem) {
  const std::pair<DWORD, const char*> russian[] = {
      {ERROR_DISK_FULL, "Нет места на диске"},
      {ERROR_HANDLE_DISK_FULL, "Нет места на диске"},
      {1295, "Превышена дисковая квота"},
      {ERROR_WRITE_PROTECT, "Диск доступен только для чтения"},
      {ERROR_ACCESS_DENIED, "Нет прав доступа"},
      {ERROR_SHARING_VIOLATION, "Нет прав доступа"},
      {ERROR_FILENAME_EXCED_RANGE, "Слишком длинное имя файла"},
      {ERROR_PATH_NOT_FOUND, "Нет такой папки"},
      {ERROR_DIRECTORY, "Это папка, а не файл"},
  };
  for (const auto& [code, text] : russian) EXPECT_EQ(SystemResult(static_cast<int>(code)).UserText(), text) << code;
  for (const DWORD code : {ERROR_CRC, ERROR_SEEK}) {
    EXPECT_EQ(SystemResult(static_cast<int>(code)).UserText(), SystemErrorText(static_cast<int>(code))) << code;
  }
  EXPECT_EQ(SystemResult(static_cast<int>(ERROR_CANCELLED)).Kind(), ErrorKind::Cancelled);
}

// 28 is a full disk to the C runtime and "out of paper" to the system: a
// stream's errno read as a system code would tell the user the wrong thing.
TEST(Win32UserText, RuntimeErrnoIsNotReadAsASystemCode) {
  constexpr int kOutOfPaper = ERROR_OUT_OF_PAPER;
  static_assert(ENOSPC == kOutOfPaper);
  const std::string no_space = "Нет места на диске";
  EXPECT_EQ(SystemResult::FromErrno(ENOSPC).UserText(), no_space);
  EXPECT_EQ(SystemResult::FromErrorCode(std::make_error_code(std::errc::no_space_on_device)).UserText(), no_space);
  const std::string out_of_paper = SystemErrorText(kOutOfPaper);
  EXPECT_NE(out_of_paper, no_space);
  EXPECT_EQ(SystemResult(kOutOfPaper).UserText(), out_of_paper);
  EXPECT_EQ(SystemResult::FromErrorCode(std::error_code(kOutOfPaper, std::system_category())).UserText(), out_of_paper);
  EXPECT_EQ(SystemResult::FromErrorCode(std::error_code(static_cast<int>(ERROR_DISK_FULL), std::system_category()))
                .UserText(),
            no_space);
}

}  // namespace
}  // namespace fjl::platform
