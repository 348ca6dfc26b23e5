// The two downloads through the real link: DeviceLink over a pseudo-terminal
// (and, where a fault costs wait time, over the in-process channel) to the
// simulated printer.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/device_link.h"
#include "sim/lib/in_process_channel.h"
#include "sim/lib/journal_builder.h"
#include "sim/lib/pty_printer.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"
#include "support/recording_views.h"
#include "tape/aux_download.h"
#include "tape/aux_records.h"
#include "tape/download_messages.h"
#include "tape/tape_download.h"

namespace fjl::tape {
namespace {

// Twenty receipts of open, sale, total, payment and close: 41 bytes each.
sim::Bytes TwentyReceipts(std::uint32_t item) {
  sim::TapeBuilder tape;
  for (int i = 0; i < 20; ++i) {
    tape.ReceiptOpen({})
        .ItemSale({.item_reference = item, .quantity = 1000, .price = 2550})
        .TotalPrint()
        .FinalPayment({.payment_form = 0, .amount = 2550, .change = 0})
        .ReceiptClose({.document_number = i + 1, .when = {}, .receipt_number = 1});
  }
  return tape.End();
}

struct Journal {
  sim::Bytes tape;
  sim::Bytes aux;
  std::uint32_t bread = 0;
  std::uint32_t note = 0;
};

Journal SmallJournal() {
  Journal j;
  sim::AuxBuilder aux;
  aux.Item({.code = 4607001, .tax_group = 3, .department = 2, .name = sim::Cp1251("Хлеб")})
      .Tag(j.bread)
      .Item({.code = 17, .tax_group = 0, .department = 1, .name = sim::Cp1251("Молоко 3.2%")})
      .Item({.code = 0xABCDEF012345, .tax_group = 4, .department = 1, .name = "X"})
      .Department(1, sim::Cp1251("Бакалея"))
      .Unit(1, sim::Cp1251("шт"))
      .Comment(sim::Cp1251("Спасибо за покупку!"))
      .Tag(j.note)
      .Comment(sim::Cp1251("Приходите ещё"));
  const std::uint8_t other[] = {1, 2, 3};
  aux.Record(7, other);
  j.aux = aux.End();
  j.tape = TwentyReceipts(j.bread);
  return j;
}

sim::PrinterModel ModelOf(const Journal& j) {
  return sim::MakePrinterModel(sim::SampleJournal().identity, j.tape, j.aux);
}

struct Step {
  explicit Step(std::size_t boxes) : counters(boxes) {}
  DownloadContext Context(link::Exchanger& link) { return {link, last, view, counters, messages}; }
  link::DeviceResponse last;
  recording::DownloadBoxes view;
  recording::Counters counters;
  recording::Messages messages;
};

TEST(TapeDownloadE2E, BothAreasOverAPseudoTerminal) {
  const Journal journal = SmallJournal();
  sim::Simulator printer(ModelOf(journal));
  sim::PtyPrinter pty(printer);
  link::DeviceLink link;
  ASSERT_GE(link.OpenLink(pty.SlavePath(), 115200), 0);

  TapeData tape;
  Step step1(kTapeCounterBoxes.size());
  EXPECT_EQ(TapeDownload("482913", tape, step1.Context(link)), DownloadOutcome::Success);
  EXPECT_EQ(step1.messages.shown, std::vector<std::string>{std::string(kMsgDownloadDone)});
  EXPECT_EQ(tape.TapeLength, 820);
  EXPECT_TRUE(std::equal(journal.tape.begin(), journal.tape.end(), tape.Image.Bytes().begin()));
  EXPECT_EQ(step1.view.Result(), "0000");
  EXPECT_EQ(step1.view.Status(), "00 00 00 00 00 00");
  // Open, close, total, payment and sale: boxes 0, 1, 2, 4 and 5.
  EXPECT_EQ(step1.counters.texts,
            (std::vector<std::string>{"20", "20", "20", "0", "20", "20", "0", "0", "0", "0", "0",
                                      "0", "0", "0", "0", "0", "0", "0", "0", "0", "100"}));
  // 820 bytes and the marker in 100-byte replies: the ninth holds the marker.
  EXPECT_EQ(printer.Requests().size(), 9u);

  AuxImage aux;
  Step step2(kAuxCounterBoxes.size());
  EXPECT_EQ(AuxDownload("482913", aux, step2.Context(link)), DownloadOutcome::Success);
  EXPECT_EQ(step2.messages.shown, std::vector<std::string>{std::string(kMsgDownloadDone)});
  EXPECT_EQ(step2.counters.texts, (std::vector<std::string>{"3", "1", "1", "2", "8"}));

  const auto bread = ItemAt(aux, journal.bread);
  ASSERT_TRUE(bread);
  EXPECT_EQ(bread->Kind, 0);
  EXPECT_EQ(bread->Code, 4607001u);
  EXPECT_EQ(bread->TaxGroup, 3);
  EXPECT_EQ(bread->Department, 2);
  EXPECT_EQ(bread->Name, sim::Cp1251("Хлеб"));
  const auto note = CommentAt(aux, journal.note);
  ASSERT_TRUE(note);
  EXPECT_EQ(note->Text, sim::Cp1251("Спасибо за покупку!"));
}

TEST(TapeDownloadE2E, LowerCaseHexHalfwayOverAPseudoTerminal) {
  const Journal journal = SmallJournal();
  sim::Simulator printer(ModelOf(journal));
  printer.AddFault({.kind = sim::FaultKind::LowerCaseHex, .command = 241, .every = 3, .limit = 1});
  sim::PtyPrinter pty(printer);
  link::DeviceLink link;
  ASSERT_GE(link.OpenLink(pty.SlavePath(), 115200), 0);

  TapeData tape;
  Step step1(kTapeCounterBoxes.size());
  EXPECT_EQ(TapeDownload("482913", tape, step1.Context(link)), DownloadOutcome::BadData);
  EXPECT_EQ(step1.messages.shown, std::vector<std::string>{std::string(kMsgBadData)});
  // Two good replies: 200 bytes. Four whole receipts (164 bytes) and the
  // fifth's first four records are counted; its close straddles byte 200.
  EXPECT_TRUE(std::equal(journal.tape.begin(), journal.tape.begin() + 200, tape.Image.Bytes().begin()));
  EXPECT_EQ(step1.counters.texts[kTapeTotalBox], "24");
  EXPECT_EQ(tape.TapeLength, 0);
}

TEST(TapeDownloadE2E, FaultsOfTheLinkInProcess) {
  struct Case {
    const char* name;
    sim::FaultKind kind;
    DownloadOutcome outcome;
    std::string_view message;
  };
  const Case cases[] = {
      {"silence", sim::FaultKind::Silence, DownloadOutcome::Timeout, kMsgTimeout},
      {"nak", sim::FaultKind::Nak, DownloadOutcome::LinkError, kMsgNak},
      {"checksum", sim::FaultKind::BadChecksum, DownloadOutcome::LinkError, kMsgBadChecksum},
      {"error code", sim::FaultKind::ErrorCode, DownloadOutcome::DeviceError, kMsgFlashReadError},
      {"count over hex", sim::FaultKind::CountOverHex, DownloadOutcome::BadData, kMsgBadData},
      {"one field", sim::FaultKind::OneField, DownloadOutcome::BadData, kMsgBadData},
      {"empty data", sim::FaultKind::EmptyData, DownloadOutcome::BadData, kMsgBadData},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Journal journal = SmallJournal();
    sim::Simulator printer(ModelOf(journal));
    printer.AddFault({.kind = c.kind, .command = 241, .every = 2, .limit = 1});
    link::DeviceLink link(sim::InProcessOpener(printer));
    ASSERT_GE(link.OpenLink("/dev/ttyS0", 9600), 0);

    AuxImage aux;
    Step step2(kAuxCounterBoxes.size());
    EXPECT_EQ(AuxDownload("482913", aux, step2.Context(link)), c.outcome);
    EXPECT_EQ(step2.messages.shown, std::vector<std::string>{std::string(c.message)});
    // The first reply's 100 bytes stay.
    EXPECT_TRUE(std::equal(journal.aux.begin(), journal.aux.begin() + 100, aux.Bytes().begin()));
  }
}

}  // namespace
}  // namespace fjl::tape
