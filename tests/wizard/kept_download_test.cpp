// Every download of the wizard is kept as it arrives: after a break the next
// press goes on where it stopped, in the same run or after a restart, and
// the restored tape is the one an uncut run gives. A printer whose tape
// changed between two presses is read afresh, and the user is told.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "fake_views.h"
#include "sim/lib/fault_plan.h"
#include "tape/flash_image.h"
#include "tape/record_types.h"

namespace fjl::wizard::testing {
namespace {

using Texts = std::vector<std::string>;

class KeptDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("fjl-kept-" + std::to_string(std::random_device()()) + "-" + std::to_string(std::random_device()()));
    ASSERT_TRUE(std::filesystem::create_directory(root_));
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  // The tape text of a run that reaches the end of step 3.
  static Texts Restored(FakeWizard& w) {
    w.steps.step3.Restore();
    return w.view3.lines;
  }
  // Flash reads of one area an uncut run makes.
  static std::size_t TapeReads(FakeWizard& w) {
    std::size_t n = 0;
    for (const sim::Request& r : w.simulator.Requests()) {
      if (r.command == 0xF1 && r.data.find(";2684") != std::string::npos) ++n;
    }
    return n;
  }

  std::filesystem::path root_;
};

// The sample tape without its first record: another tape under the same
// serial number, from its first byte on.
sim::PrinterModel ClearedSince() {
  sim::PrinterModel model = sim::SamplePrinterModel();
  sim::Bytes& tape = model.flash[0].image;
  tape.erase(tape.begin(), tape.begin() + tape::RecordLength(tape.front()));
  return model;
}

TEST_F(KeptDownloadTest, ABreakAtAnyChunkGoesOnAtTheNextPressToTheUncutTape) {
  FakeWizard uncut(SmallChunks());
  uncut.ReachStep3();
  const Texts whole = Restored(uncut);
  const std::size_t tape_reads = TapeReads(uncut);
  const std::size_t all_reads = tape_reads + 2;  // the auxiliary area takes two chunks of 50
  ASSERT_GT(tape_reads, 4u);

  for (const std::size_t cut : {std::size_t{1}, tape_reads / 2, tape_reads, tape_reads + 1, all_reads}) {
    SCOPED_TRACE("printer error at flash read " + std::to_string(cut));
    std::filesystem::remove_all(root_ / "07104512");
    sim::SimulatorOptions options = SmallChunks();
    options.faults.push_back(sim::ParseFaultRule("error:cmd=241,code=0106,every=" + std::to_string(cut) + ",limit=1"));
    FakeWizard w(options, root_);
    w.Connect();
    w.steps.step1.ReadTape();
    if (cut <= tape_reads) {
      ASSERT_FALSE(w.view1.IsEnabled(Step1Control::NextButton));
      w.view1.messages.clear();
      w.steps.step1.ReadTape();
      // Every chunk before the failed one was kept: 50 bytes each.
      const std::int64_t kept = static_cast<std::int64_t>(cut - 1) * 50;
      if (kept > 0) {
        EXPECT_EQ(w.view1.messages.front(), ResumedMessage(tape::kTapeArea.first_address + kept, kept));
      }
    }
    w.steps.step1.Next();
    w.steps.step2.ReadAux();
    if (cut > tape_reads) {
      ASSERT_FALSE(w.view2.IsEnabled(Step2Control::NextButton));
      w.view2.messages.clear();
      w.steps.step2.ReadAux();
      if (cut == all_reads) {
        EXPECT_EQ(w.view2.messages.front(), ResumedMessage(tape::kAuxArea.first_address + 50, 50));
      }
    }
    w.steps.step2.Next();
    EXPECT_EQ(Restored(w), whole);
    EXPECT_EQ(w.view1.counters, uncut.view1.counters);
    EXPECT_EQ(w.view2.counters, uncut.view2.counters);
  }
}

TEST_F(KeptDownloadTest, ARestartedProgramGoesOnAndAChangedTapeStartsAfresh) {
  FakeWizard uncut(SmallChunks());
  uncut.ReachStep3();
  const Texts whole = Restored(uncut);
  {
    sim::SimulatorOptions options = SmallChunks();
    options.faults.push_back(sim::ParseFaultRule("error:cmd=241,code=0106,every=4,limit=1"));
    FakeWizard first(options, root_);
    first.Connect();
    first.steps.step1.ReadTape();
  }
  {
    FakeWizard again(SmallChunks(), root_);
    again.ReachStep3();
    EXPECT_EQ(again.view1.messages.front(), ResumedMessage(tape::kTapeArea.first_address + 150, 150));
    EXPECT_EQ(Restored(again), whole);
  }
  // Cut again, then a printer whose tape was cleared since.
  {
    sim::SimulatorOptions options = SmallChunks();
    options.faults.push_back(sim::ParseFaultRule("error:cmd=241,code=0106,every=4,limit=1"));
    FakeWizard first(options, root_);
    first.Connect();
    first.steps.step1.ReadTape();
  }
  FakeWizard fresh_run(SmallChunks(), {}, ClearedSince());
  fresh_run.ReachStep3();
  FakeWizard changed(SmallChunks(), root_, ClearedSince());
  changed.ReachStep3();
  EXPECT_EQ(changed.view1.messages.front(), "Лента в регистраторе изменилась, чтение начато заново");
  EXPECT_EQ(Restored(changed), Restored(fresh_run));
  EXPECT_NE(Restored(changed), whole);
}

}  // namespace
}  // namespace fjl::wizard::testing
