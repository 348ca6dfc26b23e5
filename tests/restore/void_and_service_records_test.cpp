// Annulments, cash in and out, comments, barcodes and non-fiscal documents.
#include <gtest/gtest.h>

#include "restore/restore_harness.h"

namespace fjl::restore {
namespace {

using namespace testing;

constexpr std::uint32_t kTapeBase = 268458935;

std::vector<std::string> BreadSaleDetails(const char* name = "Хлеб") {
  return {"     номер артикула=4607001,",         "     налог=А,",          "     отдел=1,",
          std::string("     имя товара=") + name, "     количество=1.500,", "     цена=19.99"};
}

std::vector<std::string> Marked(std::vector<std::string> lines) {
  for (auto& line : lines) line.insert(line.begin(), '-');
  return lines;
}

class ItemVoidTest : public ::testing::Test {
 protected:
  ItemVoidTest() {
    h.SetAux(sim::AuxBuilder()
                 .Item({.code = 4607001, .tax_group = 0, .department = 1, .name = sim::Cp1251("Хлеб")})
                 .Tag(bread));
  }
  sim::ItemSaleFields Bread() const { return {.item_reference = bread, .quantity = 1500, .price = 1999}; }

  Harness h;
  std::uint32_t bread = 0;
};

TEST_F(ItemVoidTest, RepeatsTheVoidedSalesDetailLines) {
  sim::TapeBuilder tape;
  std::uint32_t first = 0, second = 0;
  tape.ItemSale(Bread()).Tag(first).ItemSale(Bread()).Tag(second);
  tape.ItemVoid({.start_reference = first, .end_reference = second});
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.RecordLines(), Concat({{"Продажа товара"},
                                     BreadSaleDetails(),
                                     {"Продажа товара"},
                                     BreadSaleDetails(),
                                     {"Аннулирование продажи товара", "     Начало аннулирования"},
                                     Marked(BreadSaleDetails()),
                                     {"     Конец аннулирования"}}));
  EXPECT_EQ(h.RecordLines()[21], "-     цена=19.99");
  EXPECT_EQ(h.state.RecordLineTable.size(), 3u);
}

TEST_F(ItemVoidTest, ReferencesMayBeFlashAddresses) {
  sim::TapeBuilder tape;
  std::uint32_t first = 0, second = 0;
  tape.TotalPrint().ItemSale(Bread()).Tag(first).AmountAdjustment(-5).Tag(second);
  tape.ItemVoid({.start_reference = kTapeBase + first, .end_reference = kTapeBase + second});
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  const auto lines = h.RecordLines();
  EXPECT_EQ(std::vector<std::string>(lines.end() - 8, lines.end()),
            Concat({{"     Начало аннулирования"}, Marked(BreadSaleDetails()), {"     Конец аннулирования"}}));
}

TEST_F(ItemVoidTest, EqualReferencesCopyNothing) {
  sim::TapeBuilder tape;
  std::uint32_t sale = 0;
  tape.ItemSale(Bread()).Tag(sale).ItemVoid({.start_reference = sale, .end_reference = sale});
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  const auto lines = h.RecordLines();
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 7, lines.end()),
            (std::vector<std::string>{"Аннулирование продажи товара", "     Начало аннулирования",
                                      "     Конец аннулирования"}));
}

TEST_F(ItemVoidTest, CopiesEveryLineUpToTheTitleOfTheEndRecord) {
  // The end record opens with a blank and a separator: both are copied, its title is not.
  sim::TapeBuilder tape;
  std::uint32_t sale = 0, open = 0;
  tape.ItemSale(Bread()).Tag(sale).TotalPrint().FreeDocumentOpen().Tag(open);
  tape.ItemVoid({.start_reference = sale, .end_reference = open});
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  const auto lines = h.RecordLines();
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 11, lines.end()),
            Concat({{"Аннулирование продажи товара", "     Начало аннулирования"},
                    Marked(BreadSaleDetails()),
                    {"-Печать итога", "- ", "-" + kEquals, "     Конец аннулирования"}}));
}

TEST_F(ItemVoidTest, TheEndMayBeTheVoidItself) {
  sim::TapeBuilder tape;
  std::uint32_t sale = 0;
  tape.ItemSale(Bread()).Tag(sale).TotalPrint();
  const std::uint32_t itself = tape.Here();
  tape.ItemVoid({.start_reference = sale, .end_reference = itself});
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  const auto lines = h.RecordLines();
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 8, lines.end()),
            Concat({{"Аннулирование продажи товара", "     Начало аннулирования"},
                    Marked(BreadSaleDetails()),
                    {"-Печать итога", "     Конец аннулирования"}}));
}

TEST_F(ItemVoidTest, ReferencesToNoRestoredRecordStopTheRun) {
  struct Case {
    const char* what;
    std::uint32_t start;
    std::uint32_t end;
  };
  // Tape: sale at 0, receipt void at 12, barcode at 36, sale at 54, void at 66.
  const Case cases[] = {
      {"start names nothing", 3, 54},    {"start names a receipt void", 12, 54},
      {"start names a barcode", 36, 54}, {"end comes before the start", 54, 0},
      {"end names nothing", 0, 55},      {"address below the tape", kTapeBase - 1, 54},
  };
  for (const Case& c : cases) {
    Harness run;
    run.SetAux(sim::AuxBuilder().Item({.code = 4607001, .tax_group = 0, .department = 1, .name = sim::Cp1251("Хлеб")}));
    sim::TapeBuilder tape;
    tape.ItemSale(Bread()).ReceiptVoid({}).BarcodePrint().ItemSale(Bread());
    ASSERT_EQ(tape.Here(), 66u);
    tape.ItemVoid({.start_reference = c.start, .end_reference = c.end}).TotalPrint();
    run.SetTape(tape);
    EXPECT_EQ(run.Run(), RestoreOutcome::Stopped) << c.what;
    EXPECT_EQ(run.messages.shown, std::vector<std::string>{"Ошибка аннулирования! Некорректные данные"}) << c.what;
    EXPECT_EQ(run.Lines().back(), "Аннулирование продажи товара") << c.what;
    EXPECT_FALSE(run.state.RestoreFinished);
  }
}

// A receipt of 38 sales voided from its first sale to its last: 265 lines
// are copied, every one of them.
TEST_F(ItemVoidTest, AVoidOfAWholeLongReceiptRestoresInFull) {
  sim::TapeBuilder tape;
  std::uint32_t first = 0;
  tape.ItemSale(Bread()).Tag(first);
  for (int i = 1; i < 38; ++i) tape.ItemSale(Bread());
  const std::uint32_t itself = tape.Here();
  tape.ItemVoid({.start_reference = first, .end_reference = itself}).TotalPrint();
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_TRUE(h.messages.shown.empty());

  std::vector<std::string> sales;
  for (int i = 0; i < 38; ++i) sales = Concat({sales, {"Продажа товара"}, BreadSaleDetails()});
  const std::vector<std::string> copied(sales.begin() + 1, sales.end());  // all but the first title
  ASSERT_EQ(copied.size(), 265u);
  EXPECT_EQ(h.RecordLines(), Concat({sales,
                                     {"Аннулирование продажи товара", "     Начало аннулирования"},
                                     Marked(copied),
                                     {"     Конец аннулирования", "Печать итога"}}));
}

// Each void spans the sale and every void before it, so each copies more
// than all before it together: with a budget of exactly the text up to the
// end of the second void, the third stops the run with the message and the
// lines so far stay; one byte less and the second one stops.
TEST_F(ItemVoidTest, ChainedVoidsStopOnlyPastTheRunsTextBudget) {
  sim::TapeBuilder tape;
  std::uint32_t sale = 0;
  std::uint32_t voids[3] = {};
  tape.ItemSale(Bread()).Tag(sale);
  for (std::uint32_t& at : voids) {
    at = tape.Here();
    tape.ItemVoid({.start_reference = sale, .end_reference = at});
  }
  const std::vector<std::string> first_void = Concat({{"Аннулирование продажи товара", "     Начало аннулирования"},
                                                      Marked(BreadSaleDetails()),
                                                      {"     Конец аннулирования"}});
  const std::vector<std::string> second_void = Concat({{"Аннулирование продажи товара", "     Начало аннулирования"},
                                                       Marked(BreadSaleDetails()),
                                                       Marked(first_void),
                                                       {"     Конец аннулирования"}});
  const std::vector<std::string> through_second =
      Concat({ExpectedHeader(), {"Продажа товара"}, BreadSaleDetails(), first_void, second_void});
  std::size_t budget = 0;  // UTF-8 bytes and CR LF of every line the run writes
  for (const std::string& line : through_second) budget += line.size() + 2;

  struct Case {
    std::size_t budget;
    std::size_t stopping_void;
  };
  for (const Case& c : {Case{budget, 2}, Case{budget - 1, 1}}) {
    Harness run;
    run.SetAux(sim::AuxBuilder().Item({.code = 4607001, .tax_group = 0, .department = 1, .name = sim::Cp1251("Хлеб")}));
    run.SetTape(tape);
    run.text_budget = c.budget;
    EXPECT_EQ(run.Run(), RestoreOutcome::Stopped) << c.budget;
    EXPECT_EQ(run.messages.shown,
              std::vector<std::string>{"Аннулирование в позиции " + std::to_string(voids[c.stopping_void]) +
                                       " повторяет столько строк, что восстановленный текст превысил бы " +
                                       std::to_string(c.budget) + " байт. Восстановление остановлено."});
    std::vector<std::string> expected = Concat({{""}, ExpectedHeader(), {"Продажа товара"}, BreadSaleDetails(), first_void});
    if (c.stopping_void == 2) expected = Concat({expected, second_void});
    expected.push_back("Аннулирование продажи товара");
    EXPECT_EQ(run.Lines(), expected);
    EXPECT_FALSE(run.state.RestoreFinished);
  }
}

TEST_F(ItemVoidTest, CopiesFromTheSameRunAfterAnEarlierOneStopped) {
  sim::TapeBuilder tape;
  std::uint32_t sale = 0, department = 0;
  tape.ItemSale(Bread()).Tag(sale).DepartmentSelect(3).Tag(department);
  tape.ItemVoid({.start_reference = sale, .end_reference = department});
  h.SetTape(tape);
  h.printer.On(link::kCmdGetDepartmentParams, [](int) { return ErrorReply("0406"); });
  ASSERT_EQ(h.Run(), RestoreOutcome::Stopped);
  const std::size_t first_run_lines = h.Lines().size();

  // The article is renamed before the second run: the copy must follow the second run's lines.
  h.SetAux(sim::AuxBuilder().Item({.code = 4607001, .tax_group = 0, .department = 1, .name = sim::Cp1251("Батон")}));
  h.printer.On(link::kCmdGetDepartmentParams, [](int n) { return OkReply({"Отдел " + std::to_string(n)}); });
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  const auto lines = h.Lines();
  const std::vector<std::string> second_run(lines.begin() + static_cast<std::ptrdiff_t>(first_run_lines), lines.end());
  EXPECT_EQ(second_run, Concat({ExpectedHeader(),
                                {"Продажа товара"},
                                BreadSaleDetails("Батон"),
                                {"Задание номера отдела", "     отдел #3: Отдел 3", "Аннулирование продажи товара",
                                 "     Начало аннулирования"},
                                Marked(BreadSaleDetails("Батон")),
                                {"     Конец аннулирования"},
                                ExpectedFooter()}));
}

sim::DateTime Stamp(std::uint8_t d, std::uint8_t m, std::uint8_t y, std::uint8_t hh, std::uint8_t mm) {
  return sim::DateTime{{d, m, y, hh, mm}};
}

TEST(CashInOut, APayoutWithALargeCashBalance) {
  Harness h;
  h.SetTape(sim::TapeBuilder().CashInOut({.document_number = 256,
                                          .when = Stamp(0x05, 0x01, 0x09, 0x00, 0x00),
                                          .operator_index = 0,
                                          .amount = -1000,
                                          .cash = 0xFFFFFFFFFFFF}));
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.RecordLines(), (std::vector<std::string>{
                                 " ",
                                 kEquals,
                                 "Служебный внос/вынос денег",
                                 "     Сквозной номер документа=256, 05/01/09  00:00",
                                 "     оператор #1: Кассир 1",
                                 "     служебный вынос=-10.00,",
                                 "     сумма наличности в регистраторе=2814749767106.55",
                                 kEquals,
                                 " ",
                             }));
  ASSERT_EQ(h.state.RecordLineTable.size(), 1u);
  EXPECT_EQ(h.state.RecordLineTable[0].FirstDetailLine, 1 + ExpectedHeader().size() + 3);
}

TEST(CashInOut, PaidInAndZero) {
  Harness h;
  h.SetTape(sim::TapeBuilder()
                .CashInOut({.document_number = 1, .operator_index = 1, .amount = 2500, .cash = 2500})
                .CashInOut({.document_number = 2, .operator_index = 1, .amount = 0, .cash = 5}));
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  const auto lines = h.RecordLines();
  EXPECT_EQ(lines[5], "     служебный внос=25.00,");
  EXPECT_EQ(lines[6], "     сумма наличности в регистраторе=25.00");
  EXPECT_EQ(lines[14], "     служебный вынос=0.00,");
  EXPECT_EQ(lines[15], "     сумма наличности в регистраторе=0.05");
  EXPECT_EQ(h.printer.CountOf(link::kCmdGetOperatorParams), 1);
}

TEST(CashInOut, SharesTheOperatorNamesWithReceipts) {
  Harness h;
  h.SetTape(sim::TapeBuilder().ReceiptOpen({.operator_index = 6}).CashInOut({.operator_index = 6, .amount = 1}));
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.printer.CountOf(link::kCmdGetOperatorParams), 1);
  EXPECT_EQ(h.RecordLines()[10], "     оператор #7: Кассир 7");
}

TEST(CashInOut, AFailedOperatorReadStopsAfterTheDocumentLine) {
  Harness h;
  h.printer.On(link::kCmdGetOperatorParams, [](int) { return NoReply(); });
  h.SetTape(sim::TapeBuilder().CashInOut({.document_number = 7, .when = Stamp(1, 2, 3, 4, 5), .operator_index = 2}));
  EXPECT_EQ(h.Run(), RestoreOutcome::Stopped);
  EXPECT_EQ(h.messages.shown, std::vector<std::string>{"Оператор 3 \n  Таймаут устройства! Ошибка!"});
  EXPECT_EQ(h.LinesAfterHeader(), (std::vector<std::string>{" ", kEquals, "Служебный внос/вынос денег",
                                                            "     Сквозной номер документа=7, 01/02/03  04:05"}));
  EXPECT_TRUE(h.state.Operators.empty());
}

TEST(DocumentRecords, ReceiptVoidBarcodeAndFreeDocument) {
  Harness h;
  h.SetTape(sim::TapeBuilder()
                .ReceiptVoid({.document_number = -2, .when = Stamp(0x25, 0x12, 0x08, 0x14, 0x05)})
                .BarcodePrint("4600000000000")
                .FreeDocumentOpen()
                .FreeDocumentClose({.document_number = 300, .when = Stamp(0x01, 0x02, 0x10, 0x09, 0x30)}));
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.RecordLines(), (std::vector<std::string>{
                                 "Аннулирование чека",
                                 "     Сквозной номер документа=-2, 25/12/08  14:05",
                                 kEquals,
                                 " ",
                                 "Печать штрих-кода",
                                 " ",
                                 kEquals,
                                 "Открыть нефискальный чек",
                                 "Закрыть нефискальный чек",
                                 "     Сквозной номер документа=300, 01/02/10  09:30",
                                 kEquals,
                                 " ",
                             }));
  // Only the non-fiscal document's two records note their lines.
  ASSERT_EQ(h.state.RecordLineTable.size(), 2u);
  EXPECT_EQ(h.state.RecordLineTable[0].TapePosition, 24 + 18);
  EXPECT_EQ(h.state.RecordLineTable[1].TapePosition, 24 + 18 + 1);
}

TEST(FiscalComment, TakesItsTextFromTheAuxiliaryImage) {
  Harness h;
  const std::string full(39, 'x');  // fills L - 7 = 39 bytes, no NUL
  std::uint32_t greeting = 0, full_text = 0, too_long = 0, with_nul = 0;
  h.SetAux(sim::AuxBuilder()
               .Comment(sim::Cp1251("Спасибо за покупку!"))
               .Tag(greeting)
               .Comment(full)
               .Tag(full_text)
               .Comment(std::string(45, 'y'))
               .Tag(too_long)
               .Comment(sim::Cp1251("До") + std::string(1, '\0') + sim::Cp1251("свидания"))
               .Tag(with_nul));
  h.SetTape(sim::TapeBuilder()
                .FiscalComment(greeting)
                .FiscalComment(full_text)
                .FiscalComment(too_long)
                .FiscalComment(with_nul)
                .FiscalComment(0)             // before the image: no record
                .FiscalComment(0xFFFFFFFF));  // past the image
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.RecordLines(), (std::vector<std::string>{
                                 "Печать комментария",
                                 "     Спасибо за покупку!",
                                 "Печать комментария",
                                 "     " + full,
                                 "Печать комментария",
                                 "     " + std::string(39, 'y'),
                                 "Печать комментария",
                                 "     До",
                                 "Печать комментария",
                                 "     ",
                                 "Печать комментария",
                                 "     ",
                             }));
  EXPECT_EQ(h.state.RecordLineTable.size(), 6u);
}

}  // namespace
}  // namespace fjl::restore
