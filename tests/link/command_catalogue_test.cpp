#include "link/command_catalogue.h"

#include <gtest/gtest.h>

namespace fjl::link {
namespace {

TEST(CommandName, KnownAndUnknownCodes) {
  EXPECT_EQ(CommandName(0x21), "Команда 21h: Чтение даты и времени");
  EXPECT_EQ(CommandName(0x20), "Команда 20h: Установка даты и времени");
  EXPECT_EQ(CommandName(0xA3), "Команда A3h: Печать периодического отчета");
  EXPECT_EQ(CommandName(0x65), "Команда 65h: Закрытие  фискального чека");
  EXPECT_EQ(CommandName(0x45), "Команда 45h: Программирование налогового/идентификационного номера");
  for (std::int32_t code : {0x2A, 0x33, 0x1F, 0xF1, 0x49, 0x5F, 0x7F, 0x84, 0x9F, 0xA4, -1, 0, 0x1000}) {
    EXPECT_EQ(CommandName(code), "Неверная команда") << code;
  }
}

TEST(CommandCatalogue, EntriesAndGaps) {
  int named = 0;
  for (std::int32_t code = 0; code < 0x100; ++code) {
    const CommandEntry e = CatalogueEntry(code);
    EXPECT_EQ(e.name.empty(), e.parameters.empty()) << code;
    if (!e.name.empty()) ++named;
    const bool gap = code < 0x20 || code == 0x2A || (code >= 0x31 && code <= 0x3F) || (code >= 0x49 && code <= 0x5F) ||
                     (code >= 0x70 && code <= 0x7F) || (code >= 0x84 && code <= 0x9F) || code > 0xA3;
    EXPECT_EQ(e.name.empty(), gap) << code;
  }
  EXPECT_EQ(named, 49);
}

TEST(CommandCatalogue, ParameterTexts) {
  EXPECT_EQ(CatalogueEntry(0x20).parameters, "<DDMMYY>;<HHMM>;");
  EXPECT_EQ(CatalogueEntry(0x21).parameters, "Параметров нет");
  EXPECT_EQ(CatalogueEntry(0x43).parameters, "<фискальный номер>");
  EXPECT_EQ(CatalogueEntry(0x46).parameters, "<Параметров нет>");
  EXPECT_EQ(CatalogueEntry(0x81).parameters, "<функция  (0-3)>;<текст>;");
  EXPECT_EQ(CatalogueEntry(0x27).parameters,
            "<скор.>;<контр.печ.>;<парам. док.>;<лог.польз.>;<имп.ден.ящика>;<обн.баз.тов.>;");
  EXPECT_EQ(CatalogueEntry(0xA2).parameters, "<дата DDMMYY>;<тип: 0 - первый, 1 - последний>;");
}

}  // namespace
}  // namespace fjl::link
