#include "link/device_error.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "text/hex_text.h"

namespace fjl::link {
namespace {

constexpr std::string_view kUnknownSubCode = "Неизвестная ошибка!";
constexpr std::string_view kLineGone = kMsgLineGone;
constexpr std::string_view kRejectedRequest = "Регистратор не принял запрос (NAK)!";
constexpr std::string_view kDamagedReply = "Неверная контрольная сумма ответа регистратора!";

struct ClassTexts {
  std::uint8_t error_class;
  std::string_view prefix;
  std::span<const std::string_view> sub_codes;  // indexed by sub-code
};

constexpr std::string_view kClass01[] = {
    "Неопределенная ошибка оборудования!",
    "Ошибка принтера!",
    "Ошибка RAM!",
    "Ошибка контрольной суммы памяти программы!",
    "Ошибка Flash памяти!",
    "Ошибка дисплея!",
    "Ошибка часов, необходимо скорректировать время!",
    "Ошибка, возникшая в связи с понижением напряжения питания!",
    "SIM: отказ оборудования!",
    "MMC: отказ оборудования!",
};

constexpr std::string_view kClass02[] = {
    "Нет команды с таким кодом!",
    "Данная функция не поддерживается!",
    "В сообщении нет данных",
    "Переполнение буфера приемника/передатчика!",
};

constexpr std::string_view kClass05[] = {
    "Нет свободного места для записи в ФП!",
    "Ошибка записи в фискальную память!",
    "Заводской номер не установлен!",
    "Дата текущей записи более ранняя \n   чем дата предыдущей записи!",
    "Запрещен выход за пределы суток!",
    "Данные в фискальной памяти неверны!",
    "Фискальная память исчерпана!",
    "Данная команда выполняется только в фискальном режиме!",
    "Дата и время не были установлены \nс момента последнего аварийного обнуления ОЗУ!",
    "С начала смены прошло более 24х часов!",
    "Необходимо скорректировать время!",
    "Ошибка в формате таблицы!",
    "ДОшибка в формате даты!",
    "Ошибка в формате времени!",
    "Устанавливаемое время меньше текущего!",
};

constexpr std::string_view kClass07[] = {
    "Неверный режим регистратора (перемычка)!",
    "Команда невыполнима в данном состоянии смены!",
    "Необходимо выгрузить контрольную ленту (бумажную/подписанную)!",
    "Регистратор находится в автономном режиме!",
};

constexpr std::string_view kClass09[] = {
    "Не очищено!",
    "Чтение-запись по неинициализированному указателю!",
    "Адрес-параметр за пределами зоны!",
    "Выделен недостаточный буфер!",
    "Ошибка данных",
};

constexpr std::string_view kClass0A[] = {
    "Нет свободного места для выполнения команды!",
    "Длинна записи больше максимума (>255)!",
    "Артикул с данным кодом не найден!",
    "Индекс за пределами базы!",
    "Артикул с данным кодом существует!",
    "Налог запрещен!",
};

constexpr std::string_view kClass0B[] = {
    "Неверное состояние документа!",
    "Недостаточно свободного места для выполнения команды!",
    "Неизвестный тип продажи!",
    "Аннуляция: не может начинаться с данной операции!",
    "Аннуляция: данная операция в чеке не найдена!",
    "Аннуляция: последовательность неполная!",
    "Аннулировать нечего!",
    "Копия чека недоступна!",
    "В кассе недостаточно наличных денег для выполнения операции!",
    "Указанный тип оплаты запрещен для данного чека!",
    "Сдача запрещена с данного типа оплаты!",
    "Значение скидки вышло за допустимый диапазон!",
    "Переполнение итога по чеку!",
    "Переполнение по оплатам в чеке!",
    "Переполнение буфера!",
    "Продажа: ошибка в количестве!",
    "Продажа: ошибка в цене!",
    "Аннуляция: удаляемая последовательность заблокирована!",
};

constexpr std::string_view kClassF0[] = {
    "Форматированная строка: параметры!",
    "Форматированная строка: тип данных!",
    "Форматированная строка: выбор шрифта!",
    "Форматированная строка: выравнивание!",
    "Форматированная строка: позиции в строке!",
};

// The classes whose message is a prefix (possibly empty) and a sub-code text.
constexpr ClassTexts kSubCodeClasses[] = {
    {0x01, "Ошибка оборудования!\n ", kClass01},
    {0x02, "", kClass02},
    {0x05, "Ошибка фискальной памяти!\n ", kClass05},
    {0x07, "Команда не может быть выполнена в данном состоянии регистратора!\n", kClass07},
    {0x09, "Не обнулено!", kClass09},
    {0x0A, "Ошибка работы с базой товаров!\n ", kClass0A},
    {0x0B, "Ошибка работы с продажами!\n ", kClass0B},
    {0xF0, "Ошибка форматированной строки!\n ", kClassF0},
};

std::optional<std::uint8_t> HexByte(char high, char low) {
  const auto h = text::UpperHexDigitValue(high);
  const auto l = text::UpperHexDigitValue(low);
  if (!h || !l) return std::nullopt;
  return static_cast<std::uint8_t>(*h * 16 + *l);
}

}  // namespace

bool DeviceErrorMessage(const DeviceResponse& reply, std::string& message) {
  message.clear();
  if (reply.LineGone()) {
    message = kLineGone;
    return false;
  }
  if ((reply.Status & StatusNoReply) != 0) {
    message = "Таймаут устройства! Ошибка!";
    return false;
  }
  // A rejected or garbled exchange says nothing about the command; the user
  // still needs to know why the read failed.
  if ((reply.Status & StatusNak) != 0) {
    message = kRejectedRequest;
    return false;
  }
  if ((reply.Status & StatusBadChecksum) != 0) {
    message = kDamagedReply;
    return false;
  }

  const std::string& code = reply.ErrorCode;
  if (code.size() < 4) return false;
  const auto sub_code = HexByte(code[0], code[1]);
  const auto error_class = HexByte(code[2], code[3]);
  if (!sub_code || !error_class) return false;

  const unsigned sub = *sub_code;
  switch (*error_class) {
    case 0x00:
      return sub == 0;
    case 0x03:
      message = "Неправильный формат поля номер " + std::to_string(sub) + "!";
      return false;
    case 0x04:
      message = "Значение поля номер " + std::to_string(sub) + " выходит за допустимый диапазон!";
      return false;
    case 0x06:
      message = "Неверный пароль доступа!";
      return false;
    case 0x08:
      message = "При выполнении операции \n  обнаружено арифметическое переполнение!";
      return false;
    default:
      break;
  }
  for (const ClassTexts& texts : kSubCodeClasses) {
    if (texts.error_class != *error_class) continue;
    const std::string_view text = sub < texts.sub_codes.size() ? texts.sub_codes[sub] : kUnknownSubCode;
    message.reserve(texts.prefix.size() + text.size());
    message.append(texts.prefix).append(text);
    return false;
  }
  return false;
}

}  // namespace fjl::link
