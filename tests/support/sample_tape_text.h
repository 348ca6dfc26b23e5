#pragma once
// Restored text of the simulator's sample printer, worked out by hand from
// its identity (serial 07104512, fiscal 3600071045, identification
// 1234567890, tax number 123456789012) and its five tax rates.

#include <string>
#include <vector>

namespace fjl::test {

inline const std::string kStars(50, '*');

inline std::vector<std::string> SampleHeaderLines() {
  return {
      "Контрольная лента.",
      " ",
      "Заводской номер - 07104512",
      "Фискальный номер - 3600071045",
      "IД - 1234567890",
      "ПН - 123456789012",
      " ",
      "Налог А, тип=Вложенный, ставка=20.00, название=НДС 20%",
      "Налог Б, тип=Вложенный, ставка=7.00, название=НДС 7%",
      "Налог В, тип=Группа не облагаемая налогом, ставка=0.00, название=Без НДС",
      "Налог Г, тип=Наложенный 2, ставка=5.00, название=Сбор 5%, связанная группа=0",
      "Налог Д, тип=Налог запрещен, ставка=0.00, название=Запрещен",
      " ",
      kStars,
      " ",
      " ",
      " ",
  };
}

inline std::vector<std::string> FooterLines() { return {" ", " ", " ", kStars, " "}; }

}  // namespace fjl::test
