#include "platform/system_result.h"

#include "platform/system_error_decoding.h"

namespace fjl::platform {

SystemResult::SystemResult(int code) : SystemResult(code, ErrorNumbering::System) {}

SystemResult::SystemResult(int code, ErrorNumbering numbering) : code_(code), numbering_(numbering) {
  if (code_ == 0) return;
  kind_ = decoding::KindOf(code_, numbering_);
  text_ = decoding::MessageOf(code_, numbering_);
}

SystemResult SystemResult::FromErrno(int errno_code) { return SystemResult(errno_code, ErrorNumbering::CRuntime); }

SystemResult SystemResult::FromErrorCode(const std::error_code& code) {
  if (!code) return {};
  if (code.category() == std::generic_category()) return FromErrno(code.value());
  if (code.category() == std::system_category()) return SystemResult(code.value());
  SystemResult result;
  result.code_ = code.value();
  result.numbering_ = ErrorNumbering::Library;
  result.text_ = code.message();
  // The category may still say which errno it stands for.
  const std::error_condition meaning = code.default_error_condition();
  if (meaning.category() == std::generic_category()) result.kind_ = decoding::KindOfErrno(meaning.value());
  return result;
}

SystemResult SystemResult::DeviceGone(int code) {
  SystemResult result(code);
  result.gone_ = true;
  if (code == 0) result.text_ = "the device is gone";
  return result;
}

SystemResult SystemResult::Program(std::string text) {
  SystemResult result;
  result.numbering_ = ErrorNumbering::Program;
  result.text_ = std::move(text);
  return result;
}

SystemResult SystemResult::As(ErrorKind kind) const {
  SystemResult result = *this;
  result.kind_ = kind;
  return result;
}

SystemResult SystemResult::About(std::string subject) const {
  SystemResult result = *this;
  result.subject_ = std::move(subject);
  return result;
}

std::string SystemResult::UserText() const {
  switch (kind_) {
    case ErrorKind::NoSpace: return "Нет места на диске";
    case ErrorKind::QuotaExceeded: return "Превышена дисковая квота";
    case ErrorKind::ReadOnlyDisk: return "Диск доступен только для чтения";
    case ErrorKind::NoPermission: return "Нет прав доступа";
    case ErrorKind::NameTooLong: return "Слишком длинное имя файла";
    // Every file the program writes is created if missing, so a missing
    // name is a missing folder on its path.
    case ErrorKind::NotFound: return "Нет такой папки";
    case ErrorKind::NotAFolder: return "Часть пути не является папкой";
    case ErrorKind::IsAFolder: return "Это папка, а не файл";
    case ErrorKind::LinkLoop: return "Символьные ссылки замкнуты в кольцо";
    default: return text_;
  }
}

std::string SystemResult::UserMessage() const { return subject_.empty() ? UserText() : subject_ + ": " + UserText(); }

}  // namespace fjl::platform
