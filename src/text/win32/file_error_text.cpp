#include "text/file_error_text.h"

#include <windows.h>

#include "platform/system_result.h"

namespace fjl::text {

std::string FileErrorText(int code) {
  switch (static_cast<DWORD>(code)) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return "Нет места на диске";
    case 1295:  // ERROR_DISK_QUOTA_EXCEEDED
      return "Превышена дисковая квота";
    case ERROR_WRITE_PROTECT: return "Диск доступен только для чтения";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return "Нет прав доступа";
    case ERROR_FILENAME_EXCED_RANGE:
    case ERROR_BUFFER_OVERFLOW: return "Слишком длинное имя файла";
    // Saving creates the file, so a missing name is a missing folder on its path.
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "Нет такой папки";
    case ERROR_DIRECTORY: return "Это папка, а не файл";
    case ERROR_CANT_RESOLVE_FILENAME: return "Символьные ссылки замкнуты в кольцо";
    default: return platform::SystemErrorText(code);
  }
}

}  // namespace fjl::text
