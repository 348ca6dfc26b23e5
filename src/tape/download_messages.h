#pragma once
// The messages the downloads show (UTF-8).

#include <string_view>

namespace fjl::tape {

inline constexpr std::string_view kMsgDownloadDone = "Успешно. Чтение контрольной ленты завершено.";
inline constexpr std::string_view kMsgTimeout = "Ошибка! Таймаут устройства! Чтение данных остановлено.";
inline constexpr std::string_view kMsgLineGone =
    "Ошибка! Связь с регистратором потеряна: порт отключен! Чтение данных остановлено.";
// Shown before the success message when the printer stopped sending before
// the tape's end marker: what came is kept and restored, record by record.
inline constexpr std::string_view kMsgNoEndMarker =
    "Внимание! Регистратор закончил передачу без маркера конца ленты. "
    "Будут восстановлены только полностью прочитанные записи.";
inline constexpr std::string_view kMsgFlashReadError =
    "Ошибка чтения данных из флеш-памяти. Чтение данных остановлено.";
inline constexpr std::string_view kMsgBadData =
    "Информация переданная регистратором неверна. Чтение данных остановлено.";
inline constexpr std::string_view kMsgNak =
    "Ошибка! Регистратор не принял запрос (NAK). Чтение данных остановлено.";
inline constexpr std::string_view kMsgBadChecksum =
    "Ошибка! Неверная контрольная сумма ответа регистратора. Чтение данных остановлено.";

}  // namespace fjl::tape
