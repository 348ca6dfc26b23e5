#pragma once
// The texts and sizes of the three step windows, for every front end: a
// window builds its controls from these, and the presenters set the texts
// that change.

#include <array>
#include <string_view>

namespace fjl::wizard {

struct ClientSize {
  int width;
  int height;
};

inline constexpr std::string_view kStep1Caption = "Чтение контрольной ленты (Varkon KM-L710, KM-5820L). Шаг 1.";
inline constexpr std::string_view kStep2Caption = "Чтение вспомогательных данных. Шаг 2.";
inline constexpr std::string_view kStep3Caption = "Восстановление контрольной ленты. Шаг 3.";
inline constexpr ClientSize kStep1Size{784, 432};
inline constexpr ClientSize kStep2Size{409, 432};
inline constexpr ClientSize kStep3Size{632, 473};

// Labels and group titles.
inline constexpr std::string_view kPortLabel = "Последовательный порт:";
inline constexpr std::string_view kSpeedLabel = "Скорость порта (бод):";
inline constexpr std::string_view kResultLabel = "Результат выполнения:";
inline constexpr std::string_view kStatusLabel = "Статус регистратора:";
inline constexpr std::string_view kPasswordLabel = "Пароль:";
inline constexpr std::string_view kRecordTypesTitle = "Типы записей";

// Buttons.
inline constexpr std::string_view kConnectText = "Подключить";
inline constexpr std::string_view kDisconnectText = "Отключить";
inline constexpr std::string_view kReadTapeText = "Читать эл. контр. ленту";
inline constexpr std::string_view kReadAuxText = "Читать вспом. параметры";
inline constexpr std::string_view kRestoreText = "Восстановить контр. ленту";
inline constexpr std::string_view kSaveText = "Сохранить";
inline constexpr std::string_view kFinishText = "Завершить";
inline constexpr std::string_view kNextText = "Дальше ->";

inline constexpr std::array<std::string_view, 11> kSpeedItems = {
    "110", "300", "600", "1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"};
inline constexpr int kDefaultSpeedIndex = 6;  // "9600"
inline constexpr std::string_view kDefaultPassword = "482913";

// Messages of the step flow.
inline constexpr std::string_view kMsgCannotConnect = "Невозможно подключить порт";
inline constexpr std::string_view kMsgAppStopped = "Приложение остановлено!";
inline constexpr std::string_view kMsgAppFinished = "Успешно! Завершение приложения!";
// Shown once when the session log stops taking entries, before the reason.
inline constexpr std::string_view kMsgLogIncomplete = "Журнал сеанса неполон: ";
// Saving under the JSON or CSV filter before a restoration has completed:
// the data comes from the restoration's records, not from the text box.
inline constexpr std::string_view kMsgRestoreBeforeData =
    "Данные ленты (JSON, CSV) берутся из восстановленных записей: сначала восстановите контрольную ленту.";
// Asked when Escape or the close button comes in the middle of a download.
inline constexpr std::string_view kAskStopReading = "Прервать чтение?";

}  // namespace fjl::wizard
