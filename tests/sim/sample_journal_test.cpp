#include "sim/lib/sample_journal.h"

#include <gtest/gtest.h>

#include <set>

#include "sim/lib/journal_builder.h"
#include "text/cp1251.h"

namespace fjl::sim {
namespace {

std::uint32_t Le(const Bytes& b, std::size_t at, int width) {
  std::uint32_t v = 0;
  for (int i = width - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<std::size_t>(i)];
  return v;
}

class SampleJournalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::size_t pos = 0;
    while (pos < journal.tape.size() && journal.tape[pos] != kTapeEndMarker) {
      const std::size_t size = TapeRecordSize(journal.tape[pos]);
      ASSERT_GT(size, 0u) << "undefined type at " << pos;
      starts.insert(static_cast<std::uint32_t>(pos));
      pos += size;
    }
    end = pos;
  }

  template <typename F>
  void ForEach(std::uint8_t type, F f) {
    for (std::uint32_t p : starts) {
      if (journal.tape[p] == type) f(p);
    }
  }

  SampleJournal journal = MakeSampleJournal();
  std::set<std::uint32_t> starts;
  std::size_t end = 0;
};

TEST_F(SampleJournalTest, WalkEndsOnTheMarker) {
  ASSERT_LT(end, journal.tape.size());
  EXPECT_EQ(end, journal.tape.size() - 1);
}

TEST_F(SampleJournalTest, EveryRecordTypeAppears) {
  std::set<int> types;
  for (std::uint32_t p : starts) types.insert(journal.tape[p]);
  std::set<int> expected;
  for (int t = 0; t <= 20; ++t) {
    if (t != 13) expected.insert(t);
  }
  EXPECT_EQ(types, expected);
}

TEST_F(SampleJournalTest, SalesPointAtItemRecordsWhoseNamesFit) {
  int sales = 0;
  ForEach(kItemSale, [&](std::uint32_t p) {
    ++sales;
    const std::uint32_t ref = Le(journal.tape, p + 1, 3);
    ASSERT_GE(ref, 5u);
    ASSERT_LT(ref, journal.aux.size());
    EXPECT_EQ(journal.aux[ref - 4], kItemParameters);
    const int length = journal.aux[ref - 5];
    EXPECT_GE(length, 17);
    EXPECT_LE(length, 95);  // the name fits an 80-byte buffer with its NUL
    EXPECT_LE(journal.aux[ref + 6], 4);  // tax group index
  });
  EXPECT_GE(sales, 5);
}

TEST_F(SampleJournalTest, CommentsPointAtCommentRecordsThatFit) {
  ForEach(kFiscalComment, [&](std::uint32_t p) {
    const std::uint32_t ref = Le(journal.tape, p + 1, 4);
    ASSERT_GE(ref, 5u);
    ASSERT_LT(ref, journal.aux.size());
    EXPECT_EQ(journal.aux[ref - 4], kCommentRecord);
    const int length = journal.aux[ref - 5];
    EXPECT_GE(length, 8);
    EXPECT_LE(length, 46);  // the text fits a 40-byte buffer with its NUL
  });
}

TEST_F(SampleJournalTest, ItemVoidReferencesAreRecordIndexes) {
  int voids = 0;
  ForEach(kItemVoid, [&](std::uint32_t p) {
    ++voids;
    const std::uint32_t a = Le(journal.tape, p + 5, 4);
    const std::uint32_t b = Le(journal.tape, p + 9, 4);
    EXPECT_TRUE(starts.count(a)) << a;
    EXPECT_TRUE(starts.count(b)) << b;
    EXPECT_EQ(journal.tape[a], kItemSale);
    EXPECT_LT(a, b);
    EXPECT_LE(b, p);
  });
  EXPECT_EQ(voids, 1);
}

TEST_F(SampleJournalTest, ThePrinterKnowsEveryNameTheTapeNeeds) {
  const PrinterIdentity& id = journal.identity;
  ForEach(kReceiptOpen, [&](std::uint32_t p) { EXPECT_TRUE(id.operators.count(journal.tape[p + 1] + 1)); });
  ForEach(kCashInOut, [&](std::uint32_t p) { EXPECT_TRUE(id.operators.count(journal.tape[p + 10] + 1)); });
  ForEach(kPartialPayment, [&](std::uint32_t p) { EXPECT_TRUE(id.payment_forms.count(journal.tape[p + 1])); });
  ForEach(kFinalPayment, [&](std::uint32_t p) { EXPECT_TRUE(id.payment_forms.count(journal.tape[p + 1])); });
  ForEach(kDepartmentSelect, [&](std::uint32_t p) { EXPECT_TRUE(id.departments.count(journal.tape[p + 1])); });
  for (const TaxRate& rate : id.tax_rates) {
    EXPECT_GE(rate.type_code, 0);
    EXPECT_LE(rate.type_code, 7);
  }
}

TEST_F(SampleJournalTest, HasSalesAndAReturn) {
  std::set<int> kinds;
  ForEach(kReceiptOpen, [&](std::uint32_t p) { kinds.insert(journal.tape[p + 3] == 0 ? 0 : 1); });
  EXPECT_EQ(kinds, (std::set<int>{0, 1}));
  std::set<bool> cash_in;
  ForEach(kCashInOut, [&](std::uint32_t p) { cash_in.insert(static_cast<std::int32_t>(Le(journal.tape, p + 11, 4)) > 0); });
  EXPECT_EQ(cash_in, (std::set<bool>{false, true}));
}

TEST_F(SampleJournalTest, AuxiliaryAreaHoldsEveryKindAndEnds) {
  std::set<int> kinds;
  std::size_t pos = 0;
  while (pos + 1 < journal.aux.size() && journal.aux[pos + 1] != kAuxEnd) {
    ASSERT_GT(journal.aux[pos], 0);
    kinds.insert(journal.aux[pos + 1]);
    pos += journal.aux[pos];
  }
  EXPECT_EQ(pos + 2, journal.aux.size());
  EXPECT_EQ(kinds, (std::set<int>{kItemParameters, kDepartmentRecord, kUnitRecord, kCommentRecord}));
}

TEST_F(SampleJournalTest, TextsAreWindows1251) {
  EXPECT_EQ(text::Cp1251ToUtf8(journal.identity.departments.at(1)), "Бакалея");
  EXPECT_EQ(journal.identity.operators.at(1).size(), 10u);  // "Иванова А.": one byte a letter
}

TEST(SamplePrinter, ServesBothAreas) {
  const PrinterModel model = SamplePrinterModel();
  ASSERT_EQ(model.flash.size(), 2u);
  EXPECT_EQ(model.flash[0].base, 268458935u);
  EXPECT_EQ(model.flash[0].end, 0x10200000u);
  EXPECT_EQ(model.flash[1].base, 388693u);
  EXPECT_EQ(model.flash[1].end, 0x200000u);
  EXPECT_EQ(model.flash[0].image, MakeSampleJournal().tape);
  EXPECT_EQ(model.password, "482913");
}

}  // namespace
}  // namespace fjl::sim
