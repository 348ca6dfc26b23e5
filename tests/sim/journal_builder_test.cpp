#include "sim/lib/journal_builder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace fjl::sim {
namespace {

struct RecordCase {
  const char* name;
  Bytes built;
  Bytes expected;
};

Bytes One(TapeBuilder& b) { return b.Records(); }

std::vector<RecordCase> TapeCases() {
  std::vector<RecordCase> cases;
  auto add = [&](const char* name, TapeBuilder b, Bytes expected) {
    cases.push_back({name, One(b), std::move(expected)});
  };
  add("ReceiptOpen", std::move(TapeBuilder().ReceiptOpen({.operator_index = 2, .pos_number = 7, .receipt_kind = 1})),
      {0x00, 0x02, 0x07, 0x01});
  add("ReceiptClose",
      std::move(TapeBuilder().ReceiptClose(
          {.document_number = 125, .when = BcdDateTime(7, 3, 6, 14, 5), .receipt_number = 17})),
      {0x01, 0x7D, 0x00, 0x00, 0x00, 0x07, 0x03, 0x06, 0x14, 0x05, 0x11, 0x00, 0x00, 0x00});
  add("ReceiptCloseNegativeNumber",
      std::move(TapeBuilder().ReceiptClose({.document_number = 65541, .when = {}, .receipt_number = -1})),
      {0x01, 0x05, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00});
  add("TotalPrint", std::move(TapeBuilder().TotalPrint()), {0x02});
  add("PartialPayment", std::move(TapeBuilder().PartialPayment({.payment_form = 1, .amount = 512})),
      {0x03, 0x01, 0x00, 0x02, 0x00, 0x00});
  add("FinalPayment",
      std::move(TapeBuilder().FinalPayment({.payment_form = 0, .amount = 15000, .change = -1})),
      {0x04, 0x00, 0x98, 0x3A, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF});
  add("ItemSale",
      std::move(TapeBuilder().ItemSale({.item_reference = 0x012345, .quantity = 1500, .price = 1999})),
      {0x05, 0x45, 0x23, 0x01, 0xDC, 0x05, 0x00, 0x00, 0xCF, 0x07, 0x00, 0x00});
  add("PercentAdjustment", std::move(TapeBuilder().PercentAdjustment(-250)), {0x06, 0x06, 0xFF});
  add("AmountAdjustment", std::move(TapeBuilder().AmountAdjustment(-5)), {0x07, 0xFB, 0xFF, 0xFF, 0xFF});
  add("PercentSubtotalAdjustment",
      std::move(TapeBuilder().PercentSubtotalAdjustment({.percent = 1250, .amount = 300})),
      {0x08, 0xE2, 0x04, 0x2C, 0x01, 0x00, 0x00});
  add("AmountSubtotalAdjustment", std::move(TapeBuilder().AmountSubtotalAdjustment(100000)),
      {0x09, 0xA0, 0x86, 0x01, 0x00});
  add("PercentTaxAdjustment",
      std::move(TapeBuilder().PercentTaxAdjustment({.percent = -1000, .tax_group = 2, .taxable_amount = 65536})),
      {0x0A, 0x18, 0xFC, 0x02, 0x00, 0x00, 0x01, 0x00});
  add("AmountTaxAdjustment", std::move(TapeBuilder().AmountTaxAdjustment({.amount = 300, .tax_group = 1})),
      {0x0B, 0x2C, 0x01, 0x00, 0x00, 0x01});
  add("DepartmentSelect", std::move(TapeBuilder().DepartmentSelect(4)), {0x0C, 0x04});
  add("ItemVoid", std::move(TapeBuilder().ItemVoid({.start_reference = 0x0102, .end_reference = 0x0A0B0C})),
      {0x0E, 0x00, 0x00, 0x00, 0x00, 0x02, 0x01, 0x00, 0x00, 0x0C, 0x0B, 0x0A, 0x00});
  add("ReceiptVoid",
      std::move(TapeBuilder().ReceiptVoid({.document_number = 256, .when = BcdDateTime(5, 1, 9, 0, 0)})),
      {0x0F, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x01, 0x00, 0x00, 0x05, 0x01, 0x09, 0x00, 0x00, 0, 0});
  add("CashInOut",
      std::move(TapeBuilder().CashInOut({.document_number = 65541,
                                         .when = BcdDateTime(31, 12, 99, 23, 59),
                                         .operator_index = 3,
                                         .amount = 1000,
                                         .cash = 0x123456789A})),
      {0x10, 0x05, 0x00, 0x01, 0x00, 0x31, 0x12, 0x99, 0x23, 0x59, 0x03, 0xE8, 0x03,
       0x00, 0x00, 0x9A, 0x78, 0x56, 0x34, 0x12, 0x00, 0x00, 0x00});
  add("CashOut",
      std::move(TapeBuilder().CashInOut({.document_number = 1, .when = {}, .operator_index = 0, .amount = -1000,
                                         .cash = 0})),
      {0x10, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x18, 0xFC, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0});
  add("FiscalComment", std::move(TapeBuilder().FiscalComment(0x01020304)), {0x11, 0x04, 0x03, 0x02, 0x01});
  add("BarcodePrint", std::move(TapeBuilder().BarcodePrint("12")),
      {0x12, 0x31, 0x32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  add("FreeDocumentOpen", std::move(TapeBuilder().FreeDocumentOpen()), {0x13});
  add("FreeDocumentClose",
      std::move(TapeBuilder().FreeDocumentClose({.document_number = 7, .when = DateTime{{0x1A, 0x00, 0x09, 0x23, 0x00}}})),
      {0x14, 0x07, 0x00, 0x00, 0x00, 0x1A, 0x00, 0x09, 0x23, 0x00});
  return cases;
}

TEST(TapeBuilder, RecordLayouts) {
  for (const RecordCase& c : TapeCases()) {
    EXPECT_EQ(c.built, c.expected) << c.name;
    EXPECT_EQ(c.built.size(), TapeRecordSize(c.built[0])) << c.name;
  }
}

TEST(TapeBuilder, LengthTable) {
  const std::size_t expected[21] = {4, 14, 1, 6, 10, 12, 3, 5, 7, 5, 8, 6, 2, 0, 13, 24, 23, 5, 18, 1, 10};
  for (std::uint8_t t = 0; t < 21; ++t) EXPECT_EQ(TapeRecordSize(t), expected[t]) << int(t);
  EXPECT_EQ(TapeRecordSize(21), 0u);
  EXPECT_EQ(TapeRecordSize(255), 0u);
}

TEST(TapeBuilder, PositionsAndEndMarker) {
  std::uint32_t sale = 99, total = 99;
  TapeBuilder b;
  b.ReceiptOpen({}).ItemSale({}).Tag(sale).TotalPrint().Tag(total);
  EXPECT_EQ(sale, 4u);
  EXPECT_EQ(total, 16u);
  EXPECT_EQ(b.Here(), 17u);
  b.ItemVoid({.start_reference = sale, .end_reference = b.Here()});
  const Bytes image = b.End();
  ASSERT_EQ(image.size(), 31u);
  EXPECT_EQ(image[30], 0xFF);
  EXPECT_EQ(image[17 + 5], 4);   // start reference
  EXPECT_EQ(image[17 + 9], 17);  // end reference: the void itself
  EXPECT_EQ(b.Records().size(), 30u);
}

TEST(TapeBuilder, RawBytesGoInAsTheyAre) {
  const Bytes raw{13, 0x42};
  EXPECT_EQ(TapeBuilder().TotalPrint().Raw(raw).End(), (Bytes{0x02, 13, 0x42, 0xFF}));
}

TEST(TapeBuilder, RejectsValuesTheFieldsCannotHold) {
  EXPECT_THROW(TapeBuilder().ItemSale({.item_reference = 0x1000000}), std::out_of_range);
  EXPECT_NO_THROW(TapeBuilder().ItemSale({.item_reference = 0xFFFFFF}));
  EXPECT_THROW(TapeBuilder().CashInOut({.cash = 0x1000000000000ull}), std::out_of_range);
  EXPECT_THROW(TapeBuilder().BarcodePrint(std::string(18, '1')), std::length_error);
  EXPECT_THROW(BcdDateTime(100, 1, 1, 0, 0), std::out_of_range);
}

TEST(BcdDateTime, EncodesDecimalDigitsAsNibbles) {
  EXPECT_EQ(BcdDateTime(25, 12, 8, 14, 5).bytes, (std::array<std::uint8_t, 5>{0x25, 0x12, 0x08, 0x14, 0x05}));
}

TEST(AuxBuilder, ItemRecordLayout) {
  std::uint32_t ref = 0;
  const Bytes image =
      AuxBuilder().Item({.code = 4607001, .tax_group = 4, .department = 2, .name = "AB"}).Tag(ref).Records();
  // L = 16 + 2; ordinal 1; code 0x464C19; sum of bytes 0..15 = 0x147.
  EXPECT_EQ(image, (Bytes{0x12, 0x00, 0x01, 0x00, 0x00, 0x19, 0x4C, 0x46, 0x00, 0x00, 0x00, 0x04, 0x02,
                          0x00, 'A', 'B', 0x47, 0x01}));
  EXPECT_EQ(ref, 5u);
}

TEST(AuxBuilder, CommentRecordFollowsAndPointsAtItsText) {
  std::uint32_t comment = 0;
  AuxBuilder b;
  b.Item({.code = 1, .name = "AB"}).Comment("Hi!").Tag(comment);
  const Bytes& image = b.Records();
  ASSERT_EQ(image.size(), 18u + 10u);
  EXPECT_EQ(comment, 23u);
  // L = 7 + 3, type 3, ordinal 2, sum 0x0E1.
  EXPECT_EQ(Bytes(image.begin() + 18, image.end()), (Bytes{0x0A, 0x03, 0x02, 0x00, 0x00, 'H', 'i', '!', 0xE1, 0x00}));
  EXPECT_EQ(image[comment - 5], 10);
  EXPECT_EQ(b.LastReference(), 23u);
}

TEST(AuxBuilder, NameAndTextLengthsFollowTheLengthByte) {
  // A 14-byte article name makes L 30; a 13-byte comment makes L 20.
  EXPECT_EQ(AuxBuilder().Item({.name = std::string(14, 'n')}).Records()[0], 30);
  EXPECT_EQ(AuxBuilder().Comment(std::string(13, 'c')).Records()[0], 20);
}

TEST(AuxBuilder, DepartmentAndUnitRecords) {
  const Bytes image = AuxBuilder().Department(3, "X").Unit(2, "kg").Records();
  ASSERT_EQ(image.size(), 9u + 10u);
  EXPECT_EQ(Bytes(image.begin(), image.begin() + 7), (Bytes{9, 0x01, 0x01, 0x00, 0x00, 0x03, 'X'}));
  EXPECT_EQ(Bytes(image.begin() + 9, image.begin() + 17), (Bytes{10, 0x02, 0x02, 0x00, 0x00, 0x02, 'k', 'g'}));
}

TEST(AuxBuilder, LengthLimitAndEndMark) {
  EXPECT_NO_THROW(AuxBuilder().Record(7, Bytes(248, 0)));
  EXPECT_THROW(AuxBuilder().Record(7, Bytes(249, 0)), std::length_error);
  const Bytes image = AuxBuilder().Record(7, Bytes{}).End();
  EXPECT_EQ(image, (Bytes{7, 7, 1, 0, 0, 15, 0, 0xFF, 0xFF}));
}

TEST(Cp1251, RussianTextBecomesSingleBytes) {
  EXPECT_EQ(Cp1251("Хлеб"), std::string("\xD5\xEB\xE5\xE1"));
}

}  // namespace
}  // namespace fjl::sim
