// The CSV tables read back with a reader of their own (csv_reader.h), row
// by row against what the tape states, worked out by hand: names with ";",
// quotes and a line break survive, amounts are decimals with ",", a record
// outside any document has no document columns.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv_reader.h"
#include "restore/restore_harness.h"
#include "sim/lib/journal_builder.h"
#include "tapedata/tape_csv.h"
#include "tapedata/tape_model.h"

namespace fjl::tapedata {
namespace {

using restore::testing::Harness;
using restore::testing::OkReply;
using testing::CsvRow;
using testing::ReadCsv;

const std::string kBom = "\xEF\xBB\xBF";

std::vector<CsvRow> Table(const std::string& bytes) {
  EXPECT_EQ(bytes.substr(0, 3), kBom) << "UTF-8 with a byte order mark, for Excel";
  return ReadCsv(std::string_view(bytes).substr(3), ';');
}

std::string P(std::uint32_t position) { return std::to_string(position); }

TEST(TapeCsv, TablesReadBackRowByRow) {
  std::uint32_t juice = 0, bread = 0;
  sim::AuxBuilder aux;
  aux.Item({.code = 4607001, .tax_group = 1, .department = 2, .name = sim::Cp1251("Сок \"Яблоко\"; 1л")}).Tag(juice);
  aux.Item({.code = 4820000000017, .tax_group = 0, .department = 3, .name = sim::Cp1251("Хлеб\r\nржаной")}).Tag(bread);

  std::uint32_t open = 0, sale1 = 0, sale2 = 0, partial = 0, final = 0, cash = 0, loose = 0;
  sim::TapeBuilder tape;
  tape.ReceiptOpen({.operator_index = 0, .pos_number = 3, .receipt_kind = 0}).Tag(open)
      .ItemSale({.item_reference = juice, .quantity = 2000, .price = 1999}).Tag(sale1)
      .ItemSale({.item_reference = bread, .quantity = 1500, .price = 333}).Tag(sale2);
  tape.ItemVoid({.start_reference = sale2, .end_reference = tape.Here()})
      .PartialPayment({.payment_form = 1, .amount = 3000}).Tag(partial)
      .FinalPayment({.payment_form = 0, .amount = 2000, .change = 5}).Tag(final)
      .ReceiptClose({.document_number = 41, .when = sim::BcdDateTime(25, 12, 8, 9, 14), .receipt_number = 7})
      .CashInOut({.document_number = 42, .when = sim::BcdDateTime(25, 12, 8, 9, 20), .operator_index = 0,
                  .amount = -5, .cash = 12345})
      .Tag(cash)
      .ItemSale({.item_reference = juice, .quantity = 1000, .price = 100}).Tag(loose);

  Harness harness;
  harness.printer.On(link::kCmdGetPaymentParams, [](int n) {
    return OkReply({std::to_string(n), n == 1 ? "Карта; \"Мир\"" : "Наличные"});
  });
  harness.SetTape(tape);
  harness.SetAux(aux);
  TapeModelBuilder model(static_cast<std::int64_t>(harness.Tape().Image.Size()));
  harness.observer = &model;
  ASSERT_EQ(harness.Run(), restore::RestoreOutcome::Completed);
  const TapeCsv csv = TapeCsvTables(model.Model());

  EXPECT_EQ(Table(csv.documents),
            (std::vector<CsvRow>{
                {"position", "kind", "opened", "closed", "document_number", "date_time", "date_time_iso",
                 "receipt_number", "receipt_type", "pos_number", "operator_number", "operator_name", "items", "paid",
                 "change", "cash_amount", "cash_in_register"},
                {P(open), "sale_receipt", "1", "1", "41", "25/12/08  09:14", "2008-12-25T09:14", "7", "sale", "3", "1",
                 "Кассир 1", "2", "50,00", "0,05", "", ""},
                {P(cash), "cash_out", "1", "1", "42", "25/12/08  09:20", "2008-12-25T09:20", "", "", "", "1",
                 "Кассир 1", "0", "0,00", "0,00", "-0,05", "123,45"},
            }));
  // 2.000 x 19.99 is 39.98; 1.500 x 3.33 is 4.995, no whole number of
  // kopecks, so no amount is made up; the bread is the voided one.
  EXPECT_EQ(Table(csv.items),
            (std::vector<CsvRow>{
                {"document_position", "document_number", "position", "article", "name", "department", "tax_letter",
                 "quantity", "price", "amount", "voided"},
                {P(open), "41", P(sale1), "4607001", "Сок \"Яблоко\"; 1л", "2", "Б", "2,000", "19,99", "39,98", "0"},
                {P(open), "41", P(sale2), "4820000000017", "Хлеб\r\nржаной", "3", "А", "1,500", "3,33", "", "1"},
                {"", "", P(loose), "4607001", "Сок \"Яблоко\"; 1л", "2", "Б", "1,000", "1,00", "1,00", "0"},
            }));
  EXPECT_EQ(Table(csv.payments),
            (std::vector<CsvRow>{
                {"document_position", "document_number", "position", "final", "form", "form_name", "amount", "change"},
                {P(open), "41", P(partial), "0", "1", "Карта; \"Мир\"", "30,00", ""},
                {P(open), "41", P(final), "1", "0", "Наличные", "20,00", "0,05"},
            }));
}

TEST(TapeCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
  EXPECT_EQ(CsvField("Хлеб"), "Хлеб");
  EXPECT_EQ(CsvField(""), "");
  EXPECT_EQ(CsvField("a;b"), "\"a;b\"");
  EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
  EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
  EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");
  EXPECT_EQ(CsvField("a,b"), "a,b") << "',' is no separator here";
}

TEST(TapeCsv, TextThatASpreadsheetWouldRunIsMarkedAsText) {
  EXPECT_EQ(CsvField("=HYPERLINK(\"x\")"), "\"'=HYPERLINK(\"\"x\"\")\"");
  EXPECT_EQ(CsvField("+7 кофе"), "'+7 кофе");
  EXPECT_EQ(CsvField("-10% скидка"), "'-10% скидка");
  EXPECT_EQ(CsvField("@SUM(A1)"), "'@SUM(A1)");
  EXPECT_EQ(CsvField("Чай = 2"), "Чай = 2") << "only the first character counts";
}

TEST(TapeCsv, AnEmptyTapeGivesTheHeadersAlone) {
  Harness harness;
  harness.SetTape(sim::TapeBuilder());
  TapeModelBuilder model(static_cast<std::int64_t>(harness.Tape().Image.Size()));
  harness.observer = &model;
  ASSERT_EQ(harness.Run(), restore::RestoreOutcome::Completed);
  const TapeCsv csv = TapeCsvTables(model.Model());
  EXPECT_EQ(Table(csv.documents).size(), 1u);
  EXPECT_EQ(Table(csv.items).size(), 1u);
  EXPECT_EQ(Table(csv.payments).size(), 1u);
}

}  // namespace
}  // namespace fjl::tapedata
