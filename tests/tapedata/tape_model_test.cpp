// The model files the restoration's decoded records into documents: what
// opens and closes each kind, where the records between go, and which
// records stay loose. Expected values come from the records each tape
// states, not from the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "restore/restore_harness.h"
#include "sim/lib/journal_builder.h"
#include "tapedata/tape_model.h"

namespace fjl::tapedata {
namespace {

using restore::testing::Harness;
using sim::BcdDateTime;

struct Restored {
  TapeModel model;
  std::size_t lines = 0;
};

Restored RestoreWithModel(const sim::TapeBuilder& tape, const sim::AuxBuilder& aux = sim::AuxBuilder()) {
  Harness harness;
  harness.SetTape(tape);
  harness.SetAux(aux);
  TapeModelBuilder builder(static_cast<std::int64_t>(harness.Tape().Image.Size()));
  harness.observer = &builder;
  EXPECT_EQ(harness.Run(), restore::RestoreOutcome::Completed);
  return {builder.Take(), harness.text.LineCount()};
}

// One letter a document or loose record: S sale, R return, V voided receipt,
// I cash in, O cash out, F free document, then "+" when it was opened and
// "!" when it was closed; a loose record is "." followed by its position.
std::string Shape(const TapeModel& model) {
  std::string shape;
  for (const TapeEntry& entry : model.entries) {
    if (const auto* d = std::get_if<Document>(&entry)) {
      shape += "SRVIOF"[static_cast<int>(d->kind)];
      if (d->opened || d->free_document_opened || d->cash) shape += '+';
      if (d->Closed()) shape += '!';
    } else {
      shape += '.';
      shape += std::to_string(restore::PositionOf(std::get<LooseRecord>(entry).record));
    }
    shape += ' ';
  }
  return shape;
}

const sim::DateTime kNoon = BcdDateTime(25, 12, 8, 12, 0);

TEST(TapeModel, DocumentsOpenAndCloseByTheirRecords) {
  struct Case {
    const char* name;
    sim::TapeBuilder tape;
    std::string shape;
  };
  std::vector<Case> cases;
  cases.push_back({"sale then return",
                   sim::TapeBuilder()
                       .ReceiptOpen({.receipt_kind = 0})
                       .ReceiptClose({.document_number = 1, .when = kNoon, .receipt_number = 1})
                       .ReceiptOpen({.receipt_kind = 1})
                       .ReceiptClose({.document_number = 2, .when = kNoon, .receipt_number = 1}),
                   "S+! R+! "});
  cases.push_back({"voided receipt",
                   sim::TapeBuilder().ReceiptOpen({}).ReceiptVoid({.document_number = 3, .when = kNoon}),
                   "V+! "});
  cases.push_back({"a new receipt leaves the last one open",
                   sim::TapeBuilder().ReceiptOpen({}).ReceiptOpen({}).ReceiptClose({.document_number = 4}),
                   "S+ S+! "});
  cases.push_back({"a close without its opening",
                   sim::TapeBuilder().ReceiptClose({.document_number = 5}).FreeDocumentClose({.document_number = 6}),
                   "S! F! "});
  cases.push_back({"cash in and out stand alone, inside a receipt too",
                   sim::TapeBuilder()
                       .CashInOut({.document_number = 7, .amount = 100})
                       .ReceiptOpen({})
                       .CashInOut({.document_number = 8, .amount = 0})
                       .ReceiptClose({.document_number = 9}),
                   "I+! S+! O+! "});
  // Positions: total 0, barcode 1..18, free document open 19, its barcode 20..37.
  cases.push_back({"loose records keep their place",
                   sim::TapeBuilder()
                       .TotalPrint()
                       .BarcodePrint()
                       .FreeDocumentOpen()
                       .BarcodePrint()
                       .FreeDocumentClose({.document_number = 10}),
                   ".0 .1 F+! "});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Shape(RestoreWithModel(c.tape).model), c.shape);
  }
}

TEST(TapeModel, ReceiptCarriesItsRecordsWithTheirValues) {
  std::uint32_t bread = 0, comment = 0, sale = 0, after = 0;
  sim::AuxBuilder aux;
  aux.Item({.code = 4607001, .tax_group = 1, .department = 2, .name = sim::Cp1251("Хлеб")}).Tag(bread);
  aux.Comment(sim::Cp1251("Спасибо")).Tag(comment);
  sim::TapeBuilder tape;
  tape.ReceiptOpen({.operator_index = 2, .pos_number = 7, .receipt_kind = 0})
      .ItemSale({.item_reference = bread, .quantity = 1500, .price = 1999})
      .Tag(sale)
      .ItemSale({.item_reference = bread, .quantity = 2000, .price = 1000})
      .Tag(after)
      .ItemVoid({.start_reference = sale, .end_reference = after})
      .PercentTaxAdjustment({.percent = -250, .tax_group = 0, .taxable_amount = 4000})
      .FiscalComment(comment)
      .TotalPrint()
      .PartialPayment({.payment_form = 1, .amount = 3000})
      .FinalPayment({.payment_form = 0, .amount = 2000, .change = 500})
      .ReceiptClose({.document_number = 42, .when = kNoon, .receipt_number = 17});
  const TapeModel model = RestoreWithModel(tape, aux).model;

  ASSERT_EQ(model.entries.size(), 1u);
  const auto& d = std::get<Document>(model.entries[0]);
  ASSERT_TRUE(d.opened);
  EXPECT_EQ(d.opened->operator_number, 3);  // index + 1
  EXPECT_EQ(d.opened->pos_number, 7);
  ASSERT_TRUE(d.stamp);
  EXPECT_EQ(d.stamp->number, 42);
  EXPECT_EQ(d.stamp->when, kNoon.bytes);
  EXPECT_EQ(d.receipt_number, 17);

  ASSERT_EQ(d.items.size(), 2u);
  EXPECT_EQ(d.items[0].article, 4607001u);
  EXPECT_EQ(d.items[0].name, "Хлеб");
  EXPECT_EQ(d.items[0].tax_letter, "Б");
  EXPECT_EQ(d.items[0].department, 2);
  EXPECT_EQ(d.items[0].quantity, 1500);
  EXPECT_EQ(d.items[0].price, 1999);

  ASSERT_EQ(d.item_voids.size(), 1u);
  EXPECT_EQ(d.item_voids[0].cancelled_positions, std::vector<std::int64_t>{sale});
  // The sale's six detail lines, as the void repeats them.
  ASSERT_EQ(d.item_voids[0].cancelled_lines.size(), 6u);
  EXPECT_EQ(d.item_voids[0].cancelled_lines[5], "     цена=19.99");

  ASSERT_EQ(d.adjustments.size(), 1u);
  EXPECT_EQ(d.adjustments[0].base, restore::AdjustmentBase::Tax);
  EXPECT_EQ(d.adjustments[0].value, -250);
  EXPECT_EQ(d.adjustments[0].tax_letter, "А");
  EXPECT_EQ(d.adjustments[0].taxable_amount, 4000);

  ASSERT_EQ(d.comments.size(), 1u);
  EXPECT_EQ(d.comments[0].text, "Спасибо");
  ASSERT_EQ(d.payments.size(), 2u);
  EXPECT_FALSE(d.payments[0].change.has_value());
  EXPECT_EQ(d.Change(), 500);
  EXPECT_EQ(d.totals.size(), 1u);
}

TEST(TapeModel, HeaderAndWalkEndAreKept) {
  const TapeModel model = RestoreWithModel(sim::TapeBuilder().TotalPrint()).model;
  ASSERT_TRUE(model.header);
  EXPECT_EQ(model.header->serial_number, "12345678");
  EXPECT_EQ(model.header->tax_number, "9876543210");
  ASSERT_EQ(model.header->tax_groups.size(), 5u);
  EXPECT_EQ(model.header->tax_groups[4].letter, "Д");
  EXPECT_EQ(model.header->tax_groups[4].rate, "20.00");
  ASSERT_TRUE(model.walk_end);
  EXPECT_EQ(model.walk_end->kind, restore::WalkEndKind::EndMarker);
  EXPECT_EQ(model.walk_end->position, 1);
}

}  // namespace
}  // namespace fjl::tapedata
