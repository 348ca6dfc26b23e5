// The integrity check: the simulator's sample journal holds together, and
// a day of receipts spoilt in four ways (a receipt taken out, a document
// number given twice, a date stepping back, a receipt closed unpaid) gives
// exactly those four findings, each naming its rule, and each alone gives
// its own finding only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json_reader.h"
#include "restore/restore_harness.h"
#include "sim/lib/journal_builder.h"
#include "sim/lib/sample_journal.h"
#include "tapecheck/check_report.h"
#include "tapecheck/tape_check.h"
#include "tapedata/tape_model.h"

namespace fjl::tapecheck {
namespace {

using restore::testing::Harness;

TapeCheck CheckOf(Harness& harness) {
  tapedata::TapeModelBuilder model(static_cast<std::int64_t>(harness.Tape().Image.Size()));
  harness.observer = &model;
  EXPECT_EQ(harness.Run(), restore::RestoreOutcome::Completed);
  return CheckTape(model.Model());
}

TapeCheck CheckOf(const sim::TapeBuilder& tape, const sim::AuxBuilder& aux = sim::AuxBuilder()) {
  Harness harness;
  harness.SetTape(tape);
  harness.SetAux(aux);
  return CheckOf(harness);
}

// "rule @position #number" of each finding, in the order found.
std::vector<std::string> Shape(const TapeCheck& check) {
  std::vector<std::string> shape;
  for (const Finding& f : check.findings) {
    std::string line = std::string(InfoOf(f.rule).id) + " @" + std::to_string(f.position);
    if (f.document_number) line += " #" + std::to_string(*f.document_number);
    shape.push_back(line);
  }
  return shape;
}

TEST(TapeCheck, TheSampleJournalHoldsTogether) {
  const sim::SampleJournal sample = sim::MakeSampleJournal();
  Harness harness;
  harness.SetTapeBytes(sample.tape);
  harness.Tape().TapeLength = static_cast<std::int64_t>(sample.tape.size()) - 1;  // the end marker's index
  std::copy(sample.aux.begin(), sample.aux.end(), harness.Aux().MutableBytes().begin());
  const TapeCheck check = CheckOf(harness);
  EXPECT_TRUE(check.Clean()) << testing::PrintToString(Shape(check));
  EXPECT_EQ(check.documents, 7u);
  EXPECT_EQ(check.lowest_number, 100);
  EXPECT_EQ(check.highest_number, 106);
  // One line, with what was checked.
  EXPECT_EQ(SummaryLine(check, ""),
            "Проверка ленты: замечаний нет (документов 7, сквозные номера 100–106, с 25/12/08  08:55 по 25/12/08  "
            "20:00).");
}

// A day of paid sale receipts, number n at 09:n, with the spoils asked for.
struct Spoils {
  bool remove_third = false;   // receipt 3 is not on the tape
  bool fifth_twice = false;    // a second receipt numbered 5 follows the first
  bool seventh_early = false;  // receipt 7 is dated 08:00, before receipt 6
  bool eighth_unpaid = false;  // receipt 8 has no payment
};

struct Day {
  sim::TapeBuilder tape;
  std::vector<std::uint32_t> opens;  // tape position of each receipt on it
};

Day MakeDay(const Spoils& spoils) {
  Day day;
  const auto receipt = [&day](int number, const sim::DateTime& when, bool paid) {
    std::uint32_t open = 0;
    day.tape.ReceiptOpen({.operator_index = 0, .pos_number = 1, .receipt_kind = 0}).Tag(open);
    day.opens.push_back(open);
    day.tape.TotalPrint();
    if (paid) day.tape.FinalPayment({.payment_form = 0, .amount = 100 * number});
    day.tape.ReceiptClose(
        {.document_number = number, .when = when, .receipt_number = static_cast<std::int16_t>(number)});
  };
  for (int n = 1; n <= 9; ++n) {
    if (spoils.remove_third && n == 3) continue;
    const sim::DateTime when = spoils.seventh_early && n == 7 ? sim::BcdDateTime(25, 12, 8, 8, 0)
                                                              : sim::BcdDateTime(25, 12, 8, 9, n);
    receipt(n, when, !(spoils.eighth_unpaid && n == 8));
    if (spoils.fifth_twice && n == 5) receipt(5, sim::BcdDateTime(25, 12, 8, 9, 5), true);
  }
  return day;
}

TEST(TapeCheck, EachSpoilGivesItsOwnFindingAlone) {
  // Receipts are 4 + 1 + 10 + 14 = 29 bytes (19 without the payment).
  EXPECT_TRUE(CheckOf(MakeDay({}).tape).Clean());

  Day day = MakeDay({.remove_third = true});
  // Receipt 4 stands third on the tape; 3 is missing before it.
  EXPECT_EQ(Shape(CheckOf(day.tape)), (std::vector<std::string>{"document-number-gap @58 #4"}));

  day = MakeDay({.fifth_twice = true});
  EXPECT_EQ(Shape(CheckOf(day.tape)), (std::vector<std::string>{"document-number-repeated @145 #5"}));

  day = MakeDay({.seventh_early = true});
  EXPECT_EQ(Shape(CheckOf(day.tape)), (std::vector<std::string>{"date-back @174 #7"}));

  day = MakeDay({.eighth_unpaid = true});
  EXPECT_EQ(Shape(CheckOf(day.tape)), (std::vector<std::string>{"receipt-unpaid @203 #8"}));
}

TEST(TapeCheck, FourSpoilsGiveExactlyFourFindings) {
  const Day day = MakeDay({.remove_third = true, .fifth_twice = true, .seventh_early = true, .eighth_unpaid = true});
  const TapeCheck check = CheckOf(day.tape);
  // On the tape: receipts 1, 2, 4, 5, 5 again, 6, 7, 8, 9 from position 0
  // in steps of 29 (the unpaid eighth is 19 long).
  EXPECT_EQ(Shape(check), (std::vector<std::string>{"document-number-gap @58 #4", "document-number-repeated @116 #5",
                                                    "date-back @174 #7", "receipt-unpaid @203 #8"}));
  ASSERT_EQ(check.findings.size(), 4u);
  EXPECT_EQ(check.findings[1].first, 87) << "where number 5 stood first";
  EXPECT_EQ(check.findings[2].first, 6) << "the number of the document before";

  std::string words;
  AppendFindingText(words, check.findings[0]);
  EXPECT_EQ(words, "пропущен сквозной номер 3 перед этим документом");
  words.clear();
  AppendFindingText(words, check.findings[2]);
  EXPECT_EQ(words, "дата 25/12/08  08:00 раньше даты предыдущего документа №6 (25/12/08  09:06)");
  words.clear();
  AppendFindingText(words, check.findings[3]);
  EXPECT_EQ(words, "Чек продажи закрыт без оплаты");

  EXPECT_EQ(SummaryLine(check, "day.txt"),
            "Проверка ленты: замечаний 4 — пропуск сквозного номера: 1, повтор сквозного номера: 1, дата раньше "
            "предыдущей: 1, чек без оплаты: 1; подробно — в day.txt.");
  EXPECT_EQ(SummaryLine(check, "").substr(SummaryLine(check, "").rfind(';')), "; подробно — с --report ФАЙЛ.");
}

TEST(TapeCheck, TheReportsNameEachFindingsRule) {
  const TapeCheck check = CheckOf(MakeDay({.remove_third = true, .eighth_unpaid = true}).tape);
  const std::string text = ReportText(check);
  EXPECT_NE(text.find("\nЗамечаний: 2\n"), std::string::npos) << text;
  EXPECT_NE(text.find("позиция 58, документ №4: пропущен сквозной номер 3 перед этим документом "
                      "[document-number-gap (пропуск сквозного номера)]\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("документ №8: Чек продажи закрыт без оплаты [receipt-unpaid (чек без оплаты)]\n"),
            std::string::npos)
      << text;
  // Every rule is listed with what it asks and how often it was broken.
  for (const RuleInfo& info : Rules()) EXPECT_NE(text.find("  " + std::string(info.id) + " ("), std::string::npos);

  const tapedata::testing::JsonValue json = tapedata::testing::JsonReader::Parse(ReportJson(check));
  EXPECT_EQ(json["format"].String(), "fjl-tape-check");
  EXPECT_FALSE(json["clean"].Bool());
  const auto& findings = json["findings"].Array();
  ASSERT_EQ(findings.size(), 2u);
  EXPECT_EQ(findings[0]["rule"].String(), "document-number-gap");
  EXPECT_EQ(findings[0]["position"].Integer(), 58);
  EXPECT_EQ(findings[0]["document_number"].Integer(), 4);
  EXPECT_EQ(findings[0]["text"].String(), "пропущен сквозной номер 3 перед этим документом");
  EXPECT_EQ(findings[1]["rule"].String(), "receipt-unpaid");
  EXPECT_EQ(json["rules"].Array().size(), Rules().size());

  EXPECT_TRUE(ReportWantsJson("r.json"));
  EXPECT_TRUE(ReportWantsJson("R.JSON"));
  EXPECT_FALSE(ReportWantsJson("r.txt"));
  EXPECT_FALSE(ReportWantsJson("json"));

  EXPECT_EQ(ReportFileBytes(check, "r.JSON"), ReportJson(check));
  const std::string file = ReportFileBytes(check, "r.txt");
  ASSERT_EQ(file.substr(0, 3), "\xEF\xBB\xBF");
  std::string back;
  for (std::size_t at = 3; at < file.size(); ++at) {
    if (file[at] == '\n') {
      ASSERT_EQ(file[at - 1], '\r') << "a bare LF at " << at;
    }
    if (file[at] != '\r') back += file[at];
  }
  EXPECT_EQ(back, ReportText(check));
}

// The rules about a document's frame, the records outside one and what the
// records refer to, one small tape each.
TEST(TapeCheck, FramesLooseRecordsAndReferences) {
  std::uint32_t tea = 0;
  sim::AuxBuilder aux;
  aux.Item({.code = 1, .tax_group = 0, .department = 1, .name = "tea"}).Tag(tea);
  const sim::DateTime when = sim::BcdDateTime(25, 12, 8, 10, 0);

  EXPECT_EQ(Shape(CheckOf(sim::TapeBuilder().ReceiptOpen({}).ItemSale({.item_reference = tea}), aux)),
            (std::vector<std::string>{"document-not-closed @0"}));
  EXPECT_EQ(Shape(CheckOf(sim::TapeBuilder()
                              .FinalPayment({.amount = 1})
                              .ReceiptClose({.document_number = 1, .when = when}))),
            (std::vector<std::string>{"record-outside-document @0", "receipt-unpaid @10 #1",
                                      "document-not-opened @10 #1"}))
      << "the payment stood outside the receipt";
  EXPECT_EQ(Shape(CheckOf(sim::TapeBuilder()
                              .ReceiptOpen({})
                              .ItemSale({.item_reference = 4000})
                              .FiscalComment(5000)
                              .FinalPayment({.amount = 1})
                              .ReceiptClose({.document_number = 1, .when = when}))),
            (std::vector<std::string>{"article-missing @4", "comment-missing @16"}));
  EXPECT_EQ(Shape(CheckOf(sim::TapeBuilder().CashInOut(
                {.document_number = 1, .when = {{0x1A, 0x12, 0x08, 0x10, 0x00}}, .amount = 100}))),
            (std::vector<std::string>{"date-invalid @0 #1"}));
  EXPECT_EQ(Shape(CheckOf(sim::TapeBuilder()
                              .CashInOut({.document_number = 5, .when = when, .amount = 100})
                              .CashInOut({.document_number = 9, .when = when, .amount = 100})
                              .CashInOut({.document_number = 6, .when = when, .amount = 100}))),
            (std::vector<std::string>{"document-number-gap @23 #9", "document-number-back @46 #6"}))
      << "7 and 8 are missing before 9, and 6 comes after 9";
}

TEST(TapeCheck, ATapeWithoutItsEndMarkerIsNamed) {
  Harness harness;
  harness.SetTape(sim::TapeBuilder().TotalPrint());
  harness.Tape().Image.MutableBytes()[1] = 2;  // no end marker where the walk stops
  const TapeCheck check = CheckOf(harness);
  EXPECT_EQ(Shape(check), (std::vector<std::string>{"record-outside-document @0", "tape-end @1"}));
}

}  // namespace
}  // namespace fjl::tapecheck
