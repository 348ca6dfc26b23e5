#include "text/file_error_text.h"

#include <cerrno>
#include <cstring>

namespace fjl::text {
namespace {

// strerror_r comes in two flavours; each overload takes one of them.
[[maybe_unused]] const char* MessageOf(int result, const char* buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char* MessageOf(const char* result, const char*) { return result; }

std::string SystemText(int code) {
  char buffer[256] = {};
  const char* message = MessageOf(::strerror_r(code, buffer, sizeof buffer), buffer);
  if (message == nullptr || *message == '\0') return "Ошибка " + std::to_string(code);
  return message;
}

}  // namespace

std::string FileErrorText(int code) {
  switch (code) {
    case ENOSPC: return "Нет места на диске";
    case EDQUOT: return "Превышена дисковая квота";
    case EROFS: return "Диск доступен только для чтения";
    case EACCES:
    case EPERM: return "Нет прав доступа";
    case ENAMETOOLONG: return "Слишком длинное имя файла";
    // Saving creates the file, so a missing name is a missing folder on its path.
    case ENOENT: return "Нет такой папки";
    case ENOTDIR: return "Часть пути не является папкой";
    case EISDIR: return "Это папка, а не файл";
    case ELOOP: return "Символьные ссылки замкнуты в кольцо";
    default: return SystemText(code);
  }
}

}  // namespace fjl::text
