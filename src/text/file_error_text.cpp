#include "text/file_error_text.h"

namespace fjl::text {

std::string FileErrorText(const platform::SystemResult& failure) {
  using platform::ErrorKind;
  switch (failure.Kind()) {
    case ErrorKind::NoSpace: return "Нет места на диске";
    case ErrorKind::QuotaExceeded: return "Превышена дисковая квота";
    case ErrorKind::ReadOnlyDisk: return "Диск доступен только для чтения";
    case ErrorKind::NoPermission: return "Нет прав доступа";
    case ErrorKind::NameTooLong: return "Слишком длинное имя файла";
    // Saving creates the file, so a missing name is a missing folder on its path.
    case ErrorKind::NotFound: return "Нет такой папки";
    case ErrorKind::NotAFolder: return "Часть пути не является папкой";
    case ErrorKind::IsAFolder: return "Это папка, а не файл";
    case ErrorKind::LinkLoop: return "Символьные ссылки замкнуты в кольцо";
    default: return failure.Text();
  }
}

}  // namespace fjl::text
