#pragma once
// A full 200,004-byte control tape of realistic receipts, with the articles
// and the comment it refers to, and a printer that answers every name read
// at once: what the restoration and display benchmarks work on.

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "link/read_commands.h"
#include "sim/lib/journal_builder.h"
#include "tape/flash_image.h"

namespace fjl::bench {

inline constexpr std::size_t kFullTape = 200004;

// Every name is asked once per run and then comes from the tables, so the
// printer's speed does not count.
class InstantPrinter final : public link::Exchanger {
 public:
  const link::DeviceResponse& Exchange(std::int32_t command, std::string_view) override {
    reply_.ErrorCode = "0000";
    reply_.FieldCount = 4;
    reply_.Fields = {};
    reply_.Fields[0] = command == link::kCmdGetTaxRate ? "1" : "12345678";
    reply_.Fields[1] = sim::Cp1251("Иванова И.И.");
    reply_.Fields[2] = sim::Cp1251("НДС");
    reply_.Fields[3] = "-1";
    return reply_;
  }

 private:
  link::DeviceResponse reply_;
};

struct FullJournal {
  sim::Bytes tape;  // kFullTape bytes, the end marker last
  sim::Bytes aux;
  std::size_t records = 0;
};

// Receipts of a few sales with a discount, a comment, payments and a close,
// with now and then an annulled item, a department, cash in and out and a
// non-fiscal document, until the tape is full.
inline FullJournal MakeFullJournal() {
  sim::AuxBuilder articles;
  std::uint32_t items[8] = {};
  for (int i = 0; i < 8; ++i) {
    articles
        .Item({.code = 4600000000000ull + static_cast<std::uint64_t>(i),
               .tax_group = static_cast<std::uint8_t>(i % 5),
               .department = static_cast<std::uint8_t>(1 + i % 3),
               .name = sim::Cp1251("Товар номер " + std::to_string(i))})
        .Tag(items[i]);
  }
  std::uint32_t thanks = 0;
  articles.Comment(sim::Cp1251("Спасибо за покупку!")).Tag(thanks);

  sim::TapeBuilder journal;
  std::int32_t document = 1;
  const sim::DateTime when = sim::BcdDateTime(25, 12, 8, 14, 5);
  for (int receipt = 0; journal.Here() + 400 < kFullTape; ++receipt) {
    const auto op = static_cast<std::uint8_t>(receipt % 4);
    journal.ReceiptOpen({.operator_index = op, .pos_number = 1, .receipt_kind = static_cast<std::uint8_t>(receipt % 9 == 0 ? 1 : 0)});
    std::uint32_t last_sale = 0;
    for (int s = 0; s < 4; ++s) {
      journal.ItemSale({.item_reference = items[(receipt + s) % 8], .quantity = 1000 + s * 250, .price = 1999 + s})
          .Tag(last_sale);
      if (s == 1) journal.PercentAdjustment(-250);
    }
    if (receipt % 5 == 0) {
      const std::uint32_t next = journal.Here();
      journal.AmountAdjustment(-100);
      journal.ItemVoid({.start_reference = last_sale, .end_reference = next});
    }
    if (receipt % 7 == 0) journal.DepartmentSelect(2);
    journal.FiscalComment(thanks).TotalPrint();
    journal.PartialPayment({.payment_form = 1, .amount = 5000});
    journal.FinalPayment({.payment_form = 0, .amount = 5000, .change = 150});
    journal.ReceiptClose(
        {.document_number = document++, .when = when, .receipt_number = static_cast<std::int16_t>(receipt)});
    if (receipt % 25 == 0) {
      journal.CashInOut(
          {.document_number = document++, .when = when, .operator_index = op, .amount = -10000, .cash = 123456789});
      journal.FreeDocumentOpen()
          .BarcodePrint("4600000000000")
          .FreeDocumentClose({.document_number = document++, .when = when});
    }
  }
  while (journal.Here() < kFullTape - 1) journal.TotalPrint();
  return {journal.End(), articles.End(), journal.Records().size()};
}

inline void BuildFullJournal(tape::TapeData& tape, tape::AuxImage& aux) {
  const FullJournal journal = MakeFullJournal();
  std::copy(journal.tape.begin(), journal.tape.end(), tape.Image.MutableBytes().begin());
  tape.TapeLength = static_cast<std::int64_t>(journal.records);
  std::copy(journal.aux.begin(), journal.aux.end(), aux.MutableBytes().begin());
}

}  // namespace fjl::bench
