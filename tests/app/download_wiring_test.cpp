// The two downloads as the windows run them against the simulated printer:
// result and status boxes, record counters, button states, the shared
// latest reply, and the windows taking no input meanwhile.

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <array>
#include <chrono>
#include <map>
#include <thread>

#include "sim/lib/journal_builder.h"
#include "sim_wizard.h"
#include "tape/download_messages.h"
#include "tape/record_counters.h"
#include "wizard/counter_cache.h"

namespace fjl::app {
namespace {

using namespace std::chrono_literals;

using testing::SimWizard;
using testing::Utf8;

// The sample journal's records by type, counted from its scenario: cash in
// and out at 8:55 and 20:00; three paid receipts (bread, milk, sugar; water,
// tea voided with its surcharge, cheese; the milk returned), one receipt
// voided after one sale, and one non-fiscal notice.
const std::map<int, int> kSampleTapeCounts = {
    {0, 4},   // receipts opened
    {1, 3},   // receipts closed
    {2, 3},   // totals
    {3, 1},   // the part paid by card
    {4, 3},   // final payments
    {5, 8},   // 3 + 3 + 1 + 1 sales
    {6, 2},   // -5 % on the milk, +10 % on the tea
    {7, 1},   // 1.50 on the sugar
    {8, 1},   // -3 % on the first subtotal
    {9, 1},   // -2.00 on the second subtotal
    {10, 1},  // tax group А
    {11, 1},  // tax group Б
    {12, 3},  // departments 3, 2, 2
    {14, 1},  // the tea
    {15, 1},  // the abandoned cigarettes
    {16, 2},  // float and collection
    {17, 3},  // thanks, card, promotion
    {18, 1},  // the cheese's barcode
    {19, 1},
    {20, 1},
};
constexpr int kSampleTapeRecords = 42;
// Articles, departments, units, comments.
const std::array<int, 4> kSampleAuxCounts = {7, 4, 3, 3};
constexpr int kSampleAuxRecords = 17;

struct TapeButtonState {
  bool read, connect, next;
  friend bool operator==(const TapeButtonState&, const TapeButtonState&) = default;
};
TapeButtonState TapeButtons(TForm1& form) {
  return {form.ReadTapeButton()->isEnabled(), form.ConnectButton()->isEnabled(),
          form.NextButton()->isEnabled()};
}
std::ostream& operator<<(std::ostream& out, const TapeButtonState& s) {
  return out << "read=" << s.read << " connect=" << s.connect << " next=" << s.next;
}

// The label beside a box, found through its buddy.
std::string LabelOf(QWidget& window, QWidget* box) {
  for (QLabel* label : window.findChildren<QLabel*>()) {
    if (label->buddy() == box) return Utf8(label->text());
  }
  return "<no label>";
}

TEST(DownloadWiringTest, EveryCoreCounterBoxIsTheWindowBoxWithItsLabel) {
  SimWizard sim;
  // Box i of the core's tables must be the box whose label the core names:
  // a slip would count sales as voids on screen.
  for (const tape::CounterBox& box : tape::kTapeCounterBoxes) {
    QLineEdit* edit = box.kind == tape::kTotalKind ? sim.Form1().TotalBox()
                                                   : sim.Form1().CounterBox(box.kind);
    ASSERT_NE(edit, nullptr) << box.label;
    EXPECT_EQ(LabelOf(sim.Form1(), edit), box.label);
  }
  for (const tape::CounterBox& box : tape::kAuxCounterBoxes) {
    QLineEdit* edit = box.kind == tape::kTotalKind ? sim.Form2().TotalBox()
                                                   : sim.Form2().CounterBox(box.kind);
    ASSERT_NE(edit, nullptr) << box.label;
    EXPECT_EQ(LabelOf(sim.Form2(), edit), box.label);
  }
}

TEST(DownloadWiringTest, TapeDownloadFillsBoxesCountersAndImageThenOpensStep2) {
  SimWizard sim;
  const sim::SampleJournal journal = sim::MakeSampleJournal();
  sim.Connect();
  ASSERT_TRUE(sim.Step1().Connected());
  EXPECT_EQ(TapeButtons(sim.Form1()), (TapeButtonState{true, true, false}));

  sim.ReadTape();

  EXPECT_EQ(sim.sink.messages, std::vector<std::string>{std::string(tape::kMsgDownloadDone)});
  EXPECT_TRUE(sim.sink.errors.empty());
  EXPECT_EQ(Utf8(sim.Form1().ResultBox()->text()), "0000");
  // The printer reports 0x80 in every byte; bit 7 is the frame's, not status.
  EXPECT_EQ(Utf8(sim.Form1().StatusBox()->text()), "00 00 00 00 00 00");
  for (const auto& [type, count] : kSampleTapeCounts) {
    EXPECT_EQ(Utf8(sim.Form1().CounterBox(type)->text()), std::to_string(count)) << "type " << type;
  }
  EXPECT_EQ(Utf8(sim.Form1().TotalBox()->text()), std::to_string(kSampleTapeRecords));

  const tape::TapeData& tape = sim.Step1().Tape();
  ASSERT_EQ(journal.tape.back(), 255);
  EXPECT_EQ(tape.TapeLength, static_cast<std::int64_t>(journal.tape.size()) - 1);
  EXPECT_TRUE(std::equal(journal.tape.begin(), journal.tape.end(), tape.Image.Bytes().begin()));

  EXPECT_EQ(sim.Step1().LastResponse().Command, 241);
  EXPECT_EQ(sim.Step1().LastResponse().ErrorCode, "0000");
  EXPECT_EQ(TapeButtons(sim.Form1()), (TapeButtonState{false, false, true}));
  EXPECT_TRUE(sim.Step1().Connected()) << "the port stays open for steps 2 and 3";

  sim.ToStep2();
  EXPECT_TRUE(sim.Form2().isVisible());
  EXPECT_FALSE(sim.Form2().NextButton()->isEnabled());
}

TEST(DownloadWiringTest, CountersMoveOnScreenWhileTheTapeIsStillComing) {
  // 50 bytes a reply: the sample tape takes several replies.
  SimWizard sim(sim::SamplePrinterModel(), {.chunk_size = 50, .faults = {}, .scripted = {}});
  sim.Connect();
  std::vector<std::string> totals_at_requests;
  testing::PaintCounter paints(*sim.Form1().TotalBox());
  sim.on_write = [&] {
    totals_at_requests.push_back(Utf8(sim.Form1().TotalBox()->text()));
    // A line slow enough that the boxes are due for a redraw at each reply.
    std::this_thread::sleep_for(wizard::kRedrawInterval + 5ms);
  };
  sim.ReadTape();
  sim.on_write = nullptr;

  ASSERT_GE(totals_at_requests.size(), 4u);
  EXPECT_EQ(totals_at_requests.front(), "0");
  // Between the first request and the last, the total had already grown.
  EXPECT_NE(totals_at_requests[totals_at_requests.size() / 2], "0");
  EXPECT_NE(totals_at_requests.back(), std::to_string(kSampleTapeRecords))
      << "the last reply still had records to count";
  EXPECT_EQ(Utf8(sim.Form1().TotalBox()->text()), std::to_string(kSampleTapeRecords));
  // Painted at the screen's pace: at most once a reply, not once a record.
  EXPECT_GE(paints.paints, 3);
  EXPECT_LE(paints.paints, static_cast<int>(totals_at_requests.size()) + 2);
}

TEST(DownloadWiringTest, AuxDownloadFillsStep2AndKeepsItsReplyInStep1) {
  SimWizard sim;
  sim.Connect();
  sim.ReadTape();
  sim.ToStep2();
  sim.sink.messages.clear();
  const std::string step1_result = Utf8(sim.Form1().ResultBox()->text());

  sim.ReadAux();

  EXPECT_EQ(sim.sink.messages, std::vector<std::string>{std::string(tape::kMsgDownloadDone)});
  for (int kind = 0; kind < 4; ++kind) {
    EXPECT_EQ(Utf8(sim.Form2().CounterBox(kind)->text()),
              std::to_string(kSampleAuxCounts[static_cast<std::size_t>(kind)]))
        << "kind " << kind;
  }
  EXPECT_EQ(Utf8(sim.Form2().TotalBox()->text()), std::to_string(kSampleAuxRecords));
  EXPECT_EQ(Utf8(sim.Form2().ResultBox()->text()), "0000");
  EXPECT_EQ(Utf8(sim.Form2().StatusBox()->text()), "00 00 00 00 00 00");
  EXPECT_FALSE(sim.Form2().ReadAuxButton()->isEnabled());
  EXPECT_TRUE(sim.Form2().NextButton()->isEnabled());

  const sim::SampleJournal journal = sim::MakeSampleJournal();
  EXPECT_TRUE(std::equal(journal.aux.begin(), journal.aux.end(), sim.Step2().Aux().Bytes().begin()));
  // Step 2's replies land in step 1's slot; step 1's boxes are left alone.
  const link::DeviceResponse& last = sim.Step1().LastResponse();
  EXPECT_EQ(last.Command, 241);
  const std::string aux_first = "482913;" + std::to_string(sim::kAuxFlashBase) + ";";
  EXPECT_EQ(sim.simulator.Requests().back().data.substr(0, 7), "482913;");
  EXPECT_EQ(last.SentData, sim.simulator.Requests().back().data);
  EXPECT_EQ(Utf8(sim.Form1().ResultBox()->text()), step1_result);
  bool asked_aux_start = false;
  for (const sim::Request& request : sim.simulator.Requests()) {
    asked_aux_start = asked_aux_start || request.data == aux_first;
  }
  EXPECT_TRUE(asked_aux_start);
  EXPECT_FALSE(sim.Form1().ConnectButton()->isEnabled());
}

TEST(DownloadWiringTest, PasswordGoesToThePrinterInWindows1251) {
  SimWizard sim;
  sim.Connect();
  sim.Form1().PasswordBox()->setText(QString::fromUtf8("Пар0ль"));
  sim.ReadTape();
  ASSERT_FALSE(sim.simulator.Requests().empty());
  // П а р 0 л ь in Windows-1251.
  EXPECT_EQ(sim.simulator.Requests().front().data,
            "\xCF\xE0\xF0"
            "0\xEB\xFC;268458935;");
}

struct FailureCase {
  const char* name;
  sim::FaultRule fault;
  std::string message;
  const char* result_box;  // what "Результат выполнения:" shows after it
};

const FailureCase kFailures[] = {
    {"no reply", {.kind = sim::FaultKind::Silence, .command = 241}, std::string(tape::kMsgTimeout) + "\nПроверьте кабель и скорость порта; fjl-restore-cli --find сам найдёт порт и скорость регистратора.", ""},
    {"device error",
     {.kind = sim::FaultKind::ErrorCode, .command = 241, .code = "0106"},
     std::string(tape::kMsgFlashReadError) + "\nНеверный пароль доступа!",
     "0106"},
    {"lower-case hex", {.kind = sim::FaultKind::LowerCaseHex, .command = 241}, std::string(tape::kMsgBadData),
     "0000"},
};

TEST(DownloadWiringTest, FailedTapeDownloadLeavesReadEnabledAndNextShut) {
  for (const FailureCase& c : kFailures) {
    SCOPED_TRACE(c.name);
    SimWizard sim;
    sim.Connect();
    sim.simulator.AddFault(c.fault);
    sim.ReadTape();
    EXPECT_EQ(sim.sink.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(Utf8(sim.Form1().ResultBox()->text()), c.result_box);
    EXPECT_EQ(TapeButtons(sim.Form1()), (TapeButtonState{true, true, false}))
        << "retry allowed, or disconnect and pick another port";
    EXPECT_EQ(sim.Step1().Tape().TapeLength, 0);

    // A retry once the printer answers again succeeds and opens step 2.
    sim.simulator.ClearFaults();
    sim.sink.messages.clear();
    sim.ReadTape();
    EXPECT_EQ(sim.sink.messages, std::vector<std::string>{std::string(tape::kMsgDownloadDone)});
    EXPECT_EQ(TapeButtons(sim.Form1()), (TapeButtonState{false, false, true}));
    EXPECT_EQ(Utf8(sim.Form1().TotalBox()->text()), std::to_string(kSampleTapeRecords))
        << "a retry counts afresh";
  }
}

TEST(DownloadWiringTest, FailedAuxDownloadLeavesReadEnabledAndNextShut) {
  for (const FailureCase& c : kFailures) {
    SCOPED_TRACE(c.name);
    SimWizard sim;
    sim.Connect();
    sim.ReadTape();
    sim.ToStep2();
    sim.sink.messages.clear();
    sim.simulator.AddFault(c.fault);
    sim.ReadAux();
    // Step 1 heard the printer: a silence now is no question of cable or speed.
    const std::string message = c.fault.kind == sim::FaultKind::Silence ? std::string(tape::kMsgTimeout) : c.message;
    EXPECT_EQ(sim.sink.messages, std::vector<std::string>{message});
    EXPECT_EQ(Utf8(sim.Form2().ResultBox()->text()), c.result_box);
    EXPECT_TRUE(sim.Form2().ReadAuxButton()->isEnabled());
    EXPECT_FALSE(sim.Form2().NextButton()->isEnabled());
    // Nothing of step 1 changes but its latest reply.
    EXPECT_EQ(Utf8(sim.Form1().ResultBox()->text()), "0000");
    EXPECT_EQ(Utf8(sim.Form1().TotalBox()->text()), std::to_string(kSampleTapeRecords));
    EXPECT_EQ(sim.Step1().Tape().TapeLength, static_cast<std::int64_t>(sim::MakeSampleJournal().tape.size()) - 1);
  }
}

TEST(DownloadWiringTest, CounterBoxHoldingTextEndsTheDownloadAsAFailure) {
  SimWizard sim;
  sim.Connect();
  // The counters restart at "0" for each download; a box spoiled mid-way is
  // what can still break one, once the boxes are drawn again.
  sim.on_write = [&] {
    sim.Form1().CounterBox(5)->setText("abc");
    std::this_thread::sleep_for(wizard::kRedrawInterval + 5ms);
  };
  sim.ReadTape();
  sim.on_write = nullptr;
  EXPECT_EQ(sim.sink.errors.size(), 1u);
  EXPECT_TRUE(sim.sink.messages.empty());
  EXPECT_EQ(TapeButtons(sim.Form1()), (TapeButtonState{true, true, false}));
}

}  // namespace
}  // namespace fjl::app
