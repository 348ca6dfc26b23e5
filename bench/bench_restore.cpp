// Restoring a full 200,004-byte tape of realistic receipts into lines, with
// the printer's names already known (every name is asked once and then comes
// from the tables, so the printer's speed does not count here).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "link/device_response.h"
#include "link/exchanger.h"
#include "link/read_commands.h"
#include "restore/restore_tape.h"
#include "sim/lib/journal_builder.h"
#include "tape/flash_image.h"

namespace {

using namespace fjl;

constexpr std::size_t kFullTape = 200004;

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

class QuietView final : public restore::RestoreView, public restore::LineView {
 public:
  void SetGaugeRange(std::int32_t, std::int32_t) override {}
  void SetGaugeProgress(std::int32_t) override { ++redraws; }
  void SetRestoreEnabled(bool) override {}
  void AppendLines(std::span<const std::string> lines) override { shown += lines.size(); }
  std::size_t redraws = 0;
  std::size_t shown = 0;
};

class QuietMessages final : public MessageSink {
 public:
  void ShowMessage(std::string_view) override {}
  void ShowError(std::string_view) override {}
};

// Receipts of a few sales with a discount, a comment, payments and a close,
// with now and then an annulled item, a department, cash in and out and a
// non-fiscal document, until the tape is full.
void BuildJournal(tape::TapeData& tape, tape::AuxImage& aux) {
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
    journal.ReceiptOpen({.operator_index = op, .pos_number = 1, .receipt_kind = receipt % 9 == 0 ? 1 : 0});
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
  const auto bytes = journal.End();
  std::copy(bytes.begin(), bytes.end(), tape.Image.MutableBytes().begin());
  tape.TapeLength = static_cast<std::int64_t>(journal.Records().size());
  const auto aux_bytes = articles.End();
  std::copy(aux_bytes.begin(), aux_bytes.end(), aux.MutableBytes().begin());
}

void BM_RestoreFullTape(benchmark::State& bench) {
  auto tape = std::make_unique<tape::TapeData>();
  auto aux = std::make_unique<tape::AuxImage>();
  BuildJournal(*tape, *aux);
  InstantPrinter printer;
  QuietMessages messages;
  std::size_t lines = 0;
  for (auto _ : bench) {
    QuietView view;
    restore::RestorationState state;
    restore::LineSink text(&view);
    const restore::RestoreInputs inputs{printer, "482913", *tape, *aux, {}};
    if (restore::RestoreTape(inputs, state, text, view, messages) != restore::RestoreOutcome::Completed) {
      bench.SkipWithError("the restoration stopped");
      break;
    }
    lines = text.LineCount();
    benchmark::DoNotOptimize(lines);
  }
  bench.counters["tape_bytes"] = static_cast<double>(tape->TapeLength + 1);
  bench.counters["lines"] = static_cast<double>(lines);
}
BENCHMARK(BM_RestoreFullTape)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
