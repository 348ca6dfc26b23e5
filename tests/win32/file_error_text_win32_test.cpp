#include "text/file_error_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/system_result.h"

namespace fjl::text {
namespace {

TEST(Win32FileErrorText, CommonFileErrorsInRussianOthersAsTheSystemSaysThem) {
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
  for (const auto& [code, text] : russian) EXPECT_EQ(FileErrorText(static_cast<int>(code)), text) << code;
  for (const DWORD code : {ERROR_CRC, ERROR_SEEK}) {
    EXPECT_EQ(FileErrorText(static_cast<int>(code)), platform::SystemErrorText(static_cast<int>(code))) << code;
  }
}

}  // namespace
}  // namespace fjl::text
