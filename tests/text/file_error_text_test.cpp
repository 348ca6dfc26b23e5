#include "text/file_error_text.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace fjl::text {
namespace {

TEST(FileErrorText, CommonFileErrorsInRussianOthersAsTheSystemSaysThem) {
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
  for (const auto& [code, text] : russian) EXPECT_EQ(FileErrorText(code), text) << code;
  for (const int code : {EIO, EFBIG, EBUSY}) EXPECT_EQ(FileErrorText(code), std::strerror(code)) << code;
  EXPECT_FALSE(FileErrorText(99999).empty());
}

}  // namespace
}  // namespace fjl::text
