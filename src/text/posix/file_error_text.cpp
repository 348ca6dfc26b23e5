#include "text/file_error_text.h"

#include <cerrno>

#include "platform/system_result.h"

namespace fjl::text {

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
    default: return platform::ErrnoText(code);
  }
}

}  // namespace fjl::text
