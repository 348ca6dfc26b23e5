#include "wizard/message_hints.h"

#include "link/device_error.h"
#include "platform/user_folders.h"
#include "tape/download_messages.h"
#include "wizard/window_texts.h"

namespace fjl::wizard {
namespace {

std::string OpenReason(const platform::SystemResult& why) {
  using platform::ErrorKind;
  switch (why.Kind()) {
    case ErrorKind::NotFound:
    case ErrorKind::NoDevice:
      return "Причина: нет такого порта (проверьте кабель и выбор порта).";
    case ErrorKind::NoPermission:
      if (platform::ThisSystem() == platform::SystemFamily::Posix) {
        return "Причина: нет прав на порт. Добавьте пользователя в группу dialout: "
               "sudo usermod -aG dialout $USER, затем войдите в систему заново.";
      }
      return "Причина: нет доступа к порту.";
    case ErrorKind::Busy:
      return "Причина: порт занят другой программой.";
    case ErrorKind::NotATerminal:
      return "Причина: это не последовательный порт.";
    case ErrorKind::InvalidArgument:
      return "Причина: порт не принимает эту скорость или настройки линии.";
    default:
      break;
  }
  if (why.Text().empty()) return "Причина: ошибка " + std::to_string(why.Code()) + ".";
  return "Причина: " + why.Text() + ".";
}

}  // namespace

std::string CannotConnectMessage(const platform::SystemResult& why) {
  std::string message(kMsgCannotConnect);
  if (why.Ok()) return message;
  return message + "\n" + OpenReason(why);
}

std::string HintedMessages::WithHint(std::string_view text) const {
  std::string shown(text);
  if (text == tape::kMsgFlashReadError) {
    std::string printer_says;
    link::DeviceErrorMessage(last_reply_, printer_says);
    if (!printer_says.empty()) shown += "\n" + printer_says;
  } else if (text == tape::kMsgTimeout && !link_.HeardSinceOpen()) {
    shown += "\n";
    shown += kHintNoReply;
  }
  return shown;
}

}  // namespace fjl::wizard
