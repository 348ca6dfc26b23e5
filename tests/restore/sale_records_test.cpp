// Sales with their articles, discounts and surcharges, department selections.
#include <gtest/gtest.h>

#include "restore/restore_harness.h"

namespace fjl::restore {
namespace {

using namespace testing;

std::vector<std::string> SaleLines(const char* article, const char* tax, const char* department,
                                   const std::string& name, const char* quantity, const char* price) {
  return {"Продажа товара",
          std::string("     номер артикула=") + article + ",",
          std::string("     налог=") + tax + ",",
          std::string("     отдел=") + department + ",",
          "     имя товара=" + name,
          std::string("     количество=") + quantity + ",",
          std::string("     цена=") + price};
}

TEST(ItemSale, TakesTheArticleFromTheAuxiliaryImage) {
  Harness h;
  std::uint32_t bread = 0, milk = 0;
  h.SetAux(sim::AuxBuilder()
               .Department(1, sim::Cp1251("Бакалея"))
               .Item({.code = 4607001, .tax_group = 0, .department = 1, .name = sim::Cp1251("Хлеб")})
               .Tag(bread)
               .Item({.code = 0xFFFFFFFFFFFF, .tax_group = 4, .department = 200, .name = sim::Cp1251("Молоко 3,2%")})
               .Tag(milk));
  h.SetTape(sim::TapeBuilder()
                .ItemSale({.item_reference = bread, .quantity = 1500, .price = 1999})
                .ItemSale({.item_reference = milk, .quantity = 500, .price = 5}));
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.RecordLines(), Concat({SaleLines("4607001", "А", "1", "Хлеб", "1.500", "19.99"),
                                     SaleLines("281474976710655", "Д", "200", "Молоко 3,2%", ".500", "0.05")}));
}

TEST(ItemSale, TheNameEndsAtItsFirstNulAndKeepsToItsField) {
  Harness h;
  std::uint32_t short_name = 0, long_name = 0, exact = 0;
  h.SetAux(sim::AuxBuilder()
               .Item({.code = 1, .name = sim::Cp1251("Соль") + std::string("\0\x01\x02", 3)})
               .Tag(short_name)
               .Item({.code = 2, .name = std::string(100, 'W')})
               .Tag(long_name)
               .Item({.code = 3, .name = std::string(79, 'Z')})
               .Tag(exact));
  h.SetTape(sim::TapeBuilder()
                .ItemSale({.item_reference = short_name, .quantity = 1000, .price = 100})
                .ItemSale({.item_reference = long_name, .quantity = 1000, .price = 100})
                .ItemSale({.item_reference = exact, .quantity = 1000, .price = 100}));
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  const auto lines = h.RecordLines();
  EXPECT_EQ(lines[4], "     имя товара=Соль");
  EXPECT_EQ(lines[11], "     имя товара=" + std::string(79, 'W'));
  EXPECT_EQ(lines[18], "     имя товара=" + std::string(79, 'Z'));
}

TEST(ItemSale, AReferenceToNoWholeRecordShowsAnEmptyArticle) {
  Harness h;
  auto aux = h.Aux().MutableBytes();
  // A record whose length runs past the end of the image.
  const std::size_t last = aux.size() - 10;
  aux[last] = 100;
  // A record too short for an article (L = 15).
  aux[1000] = 15;
  h.SetTape(sim::TapeBuilder()
                .ItemSale({.item_reference = 5, .quantity = 1000, .price = 100})  // never filled: L = 0
                .ItemSale({.item_reference = 3, .quantity = 1000, .price = 100})  // before the image
                .ItemSale({.item_reference = static_cast<std::uint32_t>(last + 5), .quantity = 1, .price = 1})
                .ItemSale({.item_reference = 1005, .quantity = 1, .price = 1})
                .ItemSale({.item_reference = 0xFFFFFF, .quantity = 1, .price = 1}));  // past the image
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  const auto empty_1 = SaleLines("0", "", "0", "", "1.000", "1.00");
  const auto empty_2 = SaleLines("0", "", "0", "", ".001", "0.01");
  EXPECT_EQ(h.RecordLines(), Concat({empty_1, empty_1, empty_2, empty_2, empty_2}));
}

struct AdjustmentCase {
  const char* what;
  sim::TapeBuilder tape;
  std::vector<std::string> lines;
};

TEST(Adjustments, ShowTheSignTheValueAndTheirFurtherLines) {
  const AdjustmentCase cases[] = {
      {"percent surcharge",
       sim::TapeBuilder().PercentAdjustment(1250),
       {"Процентная скидка/надбавка на товар", "     надбавка=12.50%"}},
      {"percent zero",
       sim::TapeBuilder().PercentAdjustment(0),
       {"Процентная скидка/надбавка на товар", "     скидка=0.00%"}},
      {"percent discount",
       sim::TapeBuilder().PercentAdjustment(-250),
       {"Процентная скидка/надбавка на товар", "     скидка=-2.50%"}},
      {"percent lowest",
       sim::TapeBuilder().PercentAdjustment(-32768),
       {"Процентная скидка/надбавка на товар", "     скидка=-327.68%"}},
      {"amount discount",
       sim::TapeBuilder().AmountAdjustment(-5),
       {"Стоимостная скидка/надбавка на товар", "     скидка=-.05"}},
      {"amount zero",
       sim::TapeBuilder().AmountAdjustment(0),
       {"Стоимостная скидка/надбавка на товар", "     скидка=0.00"}},
      {"amount surcharge",
       sim::TapeBuilder().AmountAdjustment(100000),
       {"Стоимостная скидка/надбавка на товар", "     надбавка=1000.00"}},
      {"subtotal percent",
       sim::TapeBuilder().PercentSubtotalAdjustment({.percent = 500, .amount = 1234}),
       {"Процентная скидка/надбавка на подсумму", "     надбавка=5.00%,", "     в денежном выражении=12.34"}},
      {"subtotal amount",
       sim::TapeBuilder().AmountSubtotalAdjustment(-100),
       {"Стоимостная скидка/надбавка на подсумму", "     скидка=-1.00"}},
      {"tax percent",
       sim::TapeBuilder().PercentTaxAdjustment({.percent = -1000, .tax_group = 2, .taxable_amount = 50000}),
       {"Процентная скидка/надбавка по налогу", "     скидка=-10.00%,", "     на налог=В,",
        "     обкладываемая сумма=500.00"}},
      {"tax amount",
       sim::TapeBuilder().AmountTaxAdjustment({.amount = 300, .tax_group = 1}),
       {"Стоимостная скидка/надбавка по налогу", "     надбавка=3.00,", "     на налог=Б,"}},
      {"tax index without a letter",
       sim::TapeBuilder().AmountTaxAdjustment({.amount = 1, .tax_group = 64}),
       {"Стоимостная скидка/надбавка по налогу", "     надбавка=0.01,", "     на налог=,"}},
  };
  for (const AdjustmentCase& c : cases) {
    Harness h;
    h.SetTape(c.tape);
    ASSERT_EQ(h.Run(), RestoreOutcome::Completed) << c.what;
    EXPECT_EQ(h.RecordLines(), c.lines) << c.what;
    ASSERT_EQ(h.state.RecordLineTable.size(), 1u) << c.what;
    EXPECT_EQ(h.state.RecordLineTable[0].TapePosition, 0) << c.what;
    EXPECT_EQ(h.state.RecordLineTable[0].FirstDetailLine, 1 + ExpectedHeader().size() + 1) << c.what;
  }
}

TEST(DepartmentSelect, AsksThePrinterForEveryRecord) {
  Harness h;
  h.SetTape(sim::TapeBuilder().DepartmentSelect(7).DepartmentSelect(7).DepartmentSelect(0));
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.RecordLines(),
            (std::vector<std::string>{"Задание номера отдела", "     отдел #7: Отдел 7", "Задание номера отдела",
                                      "     отдел #7: Отдел 7", "Задание номера отдела", "     отдел #0: Отдел 0"}));
  EXPECT_EQ(h.printer.CountOf(link::kCmdGetDepartmentParams), 3);
  EXPECT_EQ(h.printer.sent.back().data, "482913;0;");
  EXPECT_EQ(h.state.RecordLineTable.size(), 3u);
}

TEST(DepartmentSelect, AFailedReadStopsBeforeAnyLineOfTheRecord) {
  Harness h;
  h.printer.On(link::kCmdGetDepartmentParams, [](int) { return NoReply(); });
  h.SetTape(sim::TapeBuilder().AmountAdjustment(1).DepartmentSelect(7).TotalPrint());
  EXPECT_EQ(h.Run(), RestoreOutcome::Stopped);
  EXPECT_EQ(h.messages.shown, std::vector<std::string>{"Параметры отдела:7 \n  Таймаут устройства! Ошибка!"});
  EXPECT_EQ(h.LinesAfterHeader(),
            (std::vector<std::string>{"Стоимостная скидка/надбавка на товар", "     надбавка=0.01"}));
  EXPECT_EQ(h.state.RecordLineTable.size(), 1u);
  EXPECT_FALSE(h.state.RestoreFinished);
}

TEST(DepartmentSelect, ThePrintersErrorTextFollowsTheNumber) {
  Harness h;
  h.printer.On(link::kCmdGetDepartmentParams, [](int) { return ErrorReply("0203"); });
  h.SetTape(sim::TapeBuilder().DepartmentSelect(12));
  EXPECT_EQ(h.Run(), RestoreOutcome::Stopped);
  EXPECT_EQ(h.messages.shown, std::vector<std::string>{"Параметры отдела:12 \n  Неправильный формат поля номер 2!"});
}

}  // namespace
}  // namespace fjl::restore
