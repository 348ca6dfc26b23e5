#include "link/device_error.h"

#include <gtest/gtest.h>

#include <ostream>

#include <string>

namespace fjl::link {
namespace {

DeviceResponse WithCode(std::string code, std::uint32_t status = 0) {
  DeviceResponse reply;
  reply.ErrorCode = std::move(code);
  reply.Status = status;
  return reply;
}

struct Case {
  const char* code;
  bool succeeded;
  std::string message;
};

// Named by the code in test listings.
void PrintTo(const Case& c, std::ostream* os) { *os << '"' << c.code << '"'; }

class DeviceErrorMessageTest : public ::testing::TestWithParam<Case> {};

TEST_P(DeviceErrorMessageTest, BuildsTheMessageOfItsClassAndSubCode) {
  const Case& c = GetParam();
  std::string message = "left over";
  EXPECT_EQ(DeviceErrorMessage(WithCode(c.code), message), c.succeeded) << c.code;
  EXPECT_EQ(message, c.message) << c.code;
}

INSTANTIATE_TEST_SUITE_P(
    Codes, DeviceErrorMessageTest,
    ::testing::Values(
        Case{"0000", true, ""},
        // Hardware: prefix, then the sub-code's text.
        Case{"0101", false, "Ошибка оборудования!\n Ошибка принтера!"},
        Case{"0001", false, "Ошибка оборудования!\n Неопределенная ошибка оборудования!"},
        Case{"0901", false, "Ошибка оборудования!\n MMC: отказ оборудования!"},
        Case{"0A01", false, "Ошибка оборудования!\n Неизвестная ошибка!"},
        // Protocol: no prefix.
        Case{"0002", false, "Нет команды с таким кодом!"}, Case{"0202", false, "В сообщении нет данных"},
        Case{"0402", false, "Неизвестная ошибка!"},
        // Field errors carry the field number in decimal.
        Case{"0A03", false, "Неправильный формат поля номер 10!"},
        Case{"0203", false, "Неправильный формат поля номер 2!"},
        Case{"1204", false, "Значение поля номер 18 выходит за допустимый диапазон!"},
        Case{"0004", false, "Значение поля номер 0 выходит за допустимый диапазон!"},
        // Fiscal memory, including the text with its stray "Д".
        Case{"0C05", false, "Ошибка фискальной памяти!\n ДОшибка в формате даты!"},
        Case{"0305", false,
             "Ошибка фискальной памяти!\n Дата текущей записи более ранняя \n   чем дата предыдущей записи!"},
        Case{"0E05", false, "Ошибка фискальной памяти!\n Устанавливаемое время меньше текущего!"},
        Case{"0F05", false, "Ошибка фискальной памяти!\n Неизвестная ошибка!"},
        // Password and overflow whatever the sub-code.
        Case{"0406", false, "Неверный пароль доступа!"}, Case{"FF06", false, "Неверный пароль доступа!"},
        Case{"0108", false, "При выполнении операции \n  обнаружено арифметическое переполнение!"},
        // Printer mode: its prefix ends in a line break without a blank.
        Case{"0307", false,
             "Команда не может быть выполнена в данном состоянии регистратора!\nРегистратор находится в автономном "
             "режиме!"},
        // Internal memory: the prefix runs straight into the text.
        Case{"0009", false, "Не обнулено!Не очищено!"}, Case{"0409", false, "Не обнулено!Ошибка данных"},
        Case{"010A", false, "Ошибка работы с базой товаров!\n Длинна записи больше максимума (>255)!"},
        Case{"110B", false, "Ошибка работы с продажами!\n Аннуляция: удаляемая последовательность заблокирована!"},
        Case{"120B", false, "Ошибка работы с продажами!\n Неизвестная ошибка!"},
        Case{"04F0", false, "Ошибка форматированной строки!\n Форматированная строка: позиции в строке!"},
        Case{"05F0", false, "Ошибка форматированной строки!\n Неизвестная ошибка!"},
        // Classes without messages, and success's class with a sub-code.
        Case{"00C0", false, ""}, Case{"01D0", false, ""}, Case{"04D1", false, ""}, Case{"0100", false, ""},
        Case{"000C", false, ""}, Case{"00EE", false, ""},
        // Not four upper-case hexadecimal digits: unreadable, so a failure without a message.
        Case{"0a03", false, ""}, Case{"000b", false, ""}, Case{"00G0", false, ""}, Case{" 000", false, ""},
        Case{"000", false, ""}, Case{"", false, ""}));

TEST(DeviceErrorMessage, NoReplyIsATimeoutWhateverTheCode) {
  std::string message;
  EXPECT_FALSE(DeviceErrorMessage(WithCode("0000", StatusNoReply), message));
  EXPECT_EQ(message, "Таймаут устройства! Ошибка!");
  EXPECT_FALSE(DeviceErrorMessage(WithCode("0406", StatusNoReply), message));
  EXPECT_EQ(message, "Таймаут устройства! Ошибка!");
}

TEST(DeviceErrorMessage, ADamagedReplyIsNeverASuccess) {
  std::string message = "x";
  EXPECT_FALSE(DeviceErrorMessage(WithCode("0000", StatusNak), message));
  EXPECT_EQ(message, "Регистратор не принял запрос (NAK)!");
  EXPECT_FALSE(DeviceErrorMessage(WithCode("0000", StatusBadChecksum), message));
  EXPECT_EQ(message, "Неверная контрольная сумма ответа регистратора!");
}

TEST(DeviceErrorMessage, PrinterStatusBitsDoNotMakeAFailure) {
  std::string message;
  EXPECT_TRUE(DeviceErrorMessage(WithCode("0000", StatusS0B5 | StatusS4B0), message));
  EXPECT_EQ(message, "");
}

TEST(DeviceErrorMessage, OnlyTheFirstFourCharactersCount) {
  std::string message;
  EXPECT_TRUE(DeviceErrorMessage(WithCode("0000XYZ"), message));
  EXPECT_FALSE(DeviceErrorMessage(WithCode("0406;"), message));
  EXPECT_EQ(message, "Неверный пароль доступа!");
}

}  // namespace
}  // namespace fjl::link
