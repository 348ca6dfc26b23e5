// Receipt opening and closing, the total and the payments.
#include <gtest/gtest.h>

#include "restore/restore_harness.h"

namespace fjl::restore {
namespace {

using namespace testing;

sim::DateTime Bytes5(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d, std::uint8_t e) {
  return sim::DateTime{{a, b, c, d, e}};
}

TEST(ReceiptRecords, ASaleReceiptFromOpeningToClosing) {
  Harness h;
  sim::TapeBuilder tape;
  tape.ReceiptOpen({.operator_index = 0, .pos_number = 1, .receipt_kind = 0})
      .TotalPrint()
      .PartialPayment({.payment_form = 2, .amount = 512})
      .FinalPayment({.payment_form = 0, .amount = 15000, .change = 0})
      .ReceiptClose({.document_number = 125, .when = Bytes5(0x07, 0x03, 0x06, 0x14, 0x05), .receipt_number = 17});
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.RecordLines(), (std::vector<std::string>{
                                 " ",
                                 kEquals,
                                 "Открыть фискальный чек",
                                 "     тип чека - продажа товаров,",
                                 "     номер POS - 1,",
                                 "     оператор #1: Кассир 1",
                                 "Печать итога",
                                 "Частичная оплата",
                                 "     Номер оплаты=2, Название=Форма 2,",
                                 "     сумма оплаты=5.12",
                                 "Окончательная оплата",
                                 "     Номер оплаты=0, Название=Форма 0,",
                                 "     сумма оплаты=150.00,",
                                 "     сдача=0.00",
                                 "Закрыть фискальный чек",
                                 "     Сквозной номер документа=125, 07/03/06  14:05",
                                 "     Номер чека продажи=17",
                                 kEquals,
                                 " ",
                             }));
  EXPECT_EQ(h.printer.sent[8].data, "482913;1;");  // operator number = index + 1
  EXPECT_EQ(h.printer.sent[9].data, "482913;2;");  // payment form as stored
}

TEST(ReceiptRecords, EachRecordNotesWhereItsDetailLinesBegin) {
  Harness h;
  sim::TapeBuilder tape;
  std::uint32_t open = 0, total = 0, pay = 0, close = 0;
  tape.ReceiptOpen({}).Tag(open).TotalPrint().Tag(total).PartialPayment({.payment_form = 1, .amount = 5}).Tag(pay);
  tape.ReceiptClose({}).Tag(close);
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  const std::size_t first = 1 + ExpectedHeader().size();  // index of the first record line
  const auto& table = h.state.RecordLineTable;
  ASSERT_EQ(table.size(), 4u);
  EXPECT_EQ(table[0].TapePosition, open);
  EXPECT_EQ(table[0].FirstDetailLine, first + 3);  // blank, separator, title
  EXPECT_EQ(table[1].TapePosition, total);
  EXPECT_EQ(table[1].FirstDetailLine, first + 7);
  EXPECT_EQ(table[2].TapePosition, pay);
  EXPECT_EQ(table[2].FirstDetailLine, first + 8);
  EXPECT_EQ(table[3].TapePosition, close);
  EXPECT_EQ(table[3].FirstDetailLine, first + 11);
  EXPECT_EQ(h.Lines()[first + 10], "Закрыть фискальный чек");
}

TEST(ReceiptRecords, AReturnReceiptIsClosedAsAReturn) {
  Harness h;
  sim::TapeBuilder tape;
  tape.ReceiptClose({.document_number = 1, .when = Bytes5(1, 1, 1, 1, 1), .receipt_number = 3})  // before any opening
      .ReceiptOpen({.operator_index = 4, .pos_number = 7, .receipt_kind = 2})
      .ReceiptClose(
          {.document_number = 0x00010005, .when = Bytes5(0x31, 0x12, 0x99, 0x23, 0x00), .receipt_number = -1});
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  const auto lines = h.RecordLines();
  ASSERT_EQ(lines.size(), 16u);
  EXPECT_EQ(lines[2], "     Номер чека продажи=3");
  EXPECT_EQ(lines[7], "Открыть фискальный чек");
  EXPECT_EQ(lines[8], "     тип чека - возврат товаров,");
  EXPECT_EQ(lines[9], "     номер POS - 7,");
  EXPECT_EQ(lines[10], "     оператор #5: Кассир 5");
  EXPECT_EQ(lines[12], "     Сквозной номер документа=65541, 31/12/99  23:00");
  EXPECT_EQ(lines[13], "     Номер чека возврата=-1");
  EXPECT_EQ(h.state.CurrentReceiptKind, 2);
}

TEST(ReceiptRecords, DateBytesThatAreNotDecimalShowTheirHexDigits) {
  Harness h;
  h.SetTape(sim::TapeBuilder().FreeDocumentClose({.document_number = 9, .when = Bytes5(0x1A, 0xFF, 0x00, 0x0B, 0xC0)}));
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.RecordLines()[1], "     Сквозной номер документа=9, 1A/FF/00  0B:C0");
}

TEST(ReceiptRecords, NamesAreAskedOncePerNumberAndRun) {
  Harness h;
  sim::TapeBuilder tape;
  tape.ReceiptOpen({.operator_index = 2}).PartialPayment({.payment_form = 3, .amount = 1});
  tape.ReceiptOpen({.operator_index = 2}).PartialPayment({.payment_form = 3, .amount = 2});
  tape.ReceiptOpen({.operator_index = 0}).FinalPayment({.payment_form = 1, .amount = 3});
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.printer.CountOf(link::kCmdGetOperatorParams), 2);
  EXPECT_EQ(h.printer.CountOf(link::kCmdGetPaymentParams), 2);
  EXPECT_EQ(h.state.Operators.size(), 2u);
  EXPECT_EQ(h.state.Operators[0].Number, 3);
  EXPECT_EQ(h.state.Operators[0].Name, "Кассир 3");
  // A new run asks again.
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.printer.CountOf(link::kCmdGetOperatorParams), 4);
}

TEST(ReceiptRecords, ManyOperatorsAndFormsFitTheTables) {
  Harness h;
  sim::TapeBuilder tape;
  for (int i = 0; i < 256; ++i) {
    tape.ReceiptOpen({.operator_index = static_cast<std::uint8_t>(i)});
    tape.PartialPayment({.payment_form = static_cast<std::uint8_t>(i), .amount = i});
  }
  for (int i = 0; i < 256; ++i) tape.ReceiptOpen({.operator_index = static_cast<std::uint8_t>(i)});
  h.SetTape(tape);
  ASSERT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.printer.CountOf(link::kCmdGetOperatorParams), 256);
  EXPECT_EQ(h.printer.CountOf(link::kCmdGetPaymentParams), 256);
  EXPECT_EQ(h.RecordLines().size(), 256u * (6 + 3) + 256u * 6);
  EXPECT_EQ(h.RecordLines().back(), "     оператор #256: Кассир 256");
}

TEST(ReceiptRecords, AFailedOperatorReadStopsAfterTheReceiptsFirstLines) {
  Harness h;
  h.printer.On(link::kCmdGetOperatorParams, [](int) { return ErrorReply("0101"); });
  sim::TapeBuilder tape;
  tape.TotalPrint().ReceiptOpen({.operator_index = 0, .pos_number = 3, .receipt_kind = 0}).TotalPrint();
  h.SetTape(tape);
  EXPECT_EQ(h.Run(), RestoreOutcome::Stopped);
  EXPECT_EQ(h.messages.shown, std::vector<std::string>{"Оператор 1 \n  Ошибка оборудования!\n Ошибка принтера!"});
  EXPECT_EQ(h.LinesAfterHeader(),
            (std::vector<std::string>{"Печать итога", " ", kEquals, "Открыть фискальный чек",
                                      "     тип чека - продажа товаров,", "     номер POS - 3,"}));
  EXPECT_EQ(h.state.RecordLineTable.size(), 2u);
  EXPECT_TRUE(h.state.Operators.empty());
  EXPECT_FALSE(h.state.RestoreFinished);
  EXPECT_TRUE(h.view.restore_enabled);
  EXPECT_EQ(h.view.shown, h.Lines());
}

TEST(ReceiptRecords, AFailedPaymentFormReadWritesNothingOfTheRecord) {
  for (const bool final_payment : {false, true}) {
    Harness h;
    h.printer.On(link::kCmdGetPaymentParams, [](int) { return NoReply(); });
    sim::TapeBuilder tape;
    tape.TotalPrint();
    if (final_payment) {
      tape.FinalPayment({.payment_form = 4, .amount = 100, .change = 5});
    } else {
      tape.PartialPayment({.payment_form = 4, .amount = 100});
    }
    h.SetTape(tape);
    EXPECT_EQ(h.Run(), RestoreOutcome::Stopped);
    EXPECT_EQ(h.messages.shown, std::vector<std::string>{"Чтение форм оплаты:4 \n  Таймаут устройства! Ошибка!"});
    EXPECT_EQ(h.LinesAfterHeader(), std::vector<std::string>{"Печать итога"});
    EXPECT_EQ(h.state.RecordLineTable.size(), 1u);
  }
}

}  // namespace
}  // namespace fjl::restore
