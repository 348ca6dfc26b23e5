// Step 3 against the simulated printer: the restored text in the box, the
// gauge, the restore button, stopped runs and second runs, "Завершить".

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTextDocument>
#include <algorithm>
#include <string>
#include <vector>

#include "app/qt/progress_gauge.h"
#include "app/qt/tape_text_box.h"
#include "sim_wizard.h"
#include "support/sample_tape_text.h"

namespace fjl::app {
namespace {

using testing::SimWizard;
using Lines = std::vector<std::string>;

using test::kStars;
const std::string kSeparator(50, '=');

// The header of the sample printer, from its identity and tax table.
const Lines kSampleHeader = test::SampleHeaderLines();

// The morning float: the tape's first record.
const Lines kMorningFloat = {
    " ",
    kSeparator,
    "Служебный внос/вынос денег",
    "     Сквозной номер документа=100, 25/12/08  08:55",
    "     оператор #4: Администратор",
    "     служебный внос=500.00,",
    "     сумма наличности в регистраторе=500.00",
    kSeparator,
    " ",
};

// The evening collection, the tape's last record, then the footer.
const Lines kCollectionAndFooter = {
    " ",
    kSeparator,
    "Служебный внос/вынос денег",
    "     Сквозной номер документа=106, 25/12/08  20:00",
    "     оператор #4: Администратор",
    "     служебный вынос=-200.00,",
    "     сумма наличности в регистраторе=444.12",
    kSeparator,
    " ",
    " ",
    " ",
    " ",
    kStars,
    " ",
};

bool HasAt(const Lines& lines, std::size_t at, const Lines& part) {
  return at + part.size() <= lines.size() &&
         std::equal(part.begin(), part.end(), lines.begin() + static_cast<std::ptrdiff_t>(at));
}

std::size_t IndexOf(const Lines& lines, const std::string& line, std::size_t from = 0) {
  const auto it = std::find(lines.begin() + static_cast<std::ptrdiff_t>(from), lines.end(), line);
  return static_cast<std::size_t>(it - lines.begin());
}

// Checks the whole sample restoration found at `at` in the box, and that
// the record lines the run kept number the box's lines.
void ExpectSampleRestoration(const Lines& lines, std::size_t at,
                             const restore::RestorationState& state) {
  ASSERT_TRUE(HasAt(lines, at, kSampleHeader)) << "header at " << at;
  EXPECT_TRUE(HasAt(lines, at + kSampleHeader.size(), kMorningFloat));
  ASSERT_GE(lines.size(), kCollectionAndFooter.size());
  EXPECT_TRUE(HasAt(lines, lines.size() - kCollectionAndFooter.size(), kCollectionAndFooter));

  // The voided tea: its sale's detail lines and its surcharge, repeated
  // with "-" between the two marks, read back from the box's own lines.
  const std::size_t tea = IndexOf(lines, "     номер артикула=4820000000055,", at);
  ASSERT_LT(tea, lines.size());
  EXPECT_EQ(lines[tea - 1], "Продажа товара");
  EXPECT_TRUE(HasAt(lines, tea, {"     номер артикула=4820000000055,", "     налог=Б,",
                                 "     отдел=1,", "     имя товара=Чай черный 100г",
                                 "     количество=1.000,", "     цена=45.99"}));
  const std::size_t void_title = IndexOf(lines, "Аннулирование продажи товара", tea);
  ASSERT_LT(void_title, lines.size());
  ASSERT_EQ(lines[void_title + 1], "     Начало аннулирования");
  const std::size_t copied = void_title - tea;
  ASSERT_GT(copied, 6u) << "the sale's six lines and the surcharge after it";
  for (std::size_t j = 0; j < copied; ++j) {
    EXPECT_EQ(lines[void_title + 2 + j], "-" + lines[tea + j]) << j;
  }
  EXPECT_EQ(lines[void_title + 2 + copied], "     Конец аннулирования");

  // Every record line points just past a title in the box: the first
  // record's title "Служебный внос/вынос денег", the tea's "Продажа товара".
  ASSERT_FALSE(state.RecordLineTable.empty());
  EXPECT_EQ(state.RecordLineTable.front().FirstDetailLine, at + kSampleHeader.size() + 3);
  bool tea_found = false;
  for (const restore::RecordLine& entry : state.RecordLineTable) {
    ASSERT_GT(entry.FirstDetailLine, at);
    ASSERT_LE(entry.FirstDetailLine, lines.size());
    EXPECT_NE(lines[entry.FirstDetailLine - 1].rfind("     ", 0), 0u)
        << "a detail line taken for a title: " << lines[entry.FirstDetailLine - 1];
    tea_found = tea_found || entry.FirstDetailLine == tea;
  }
  EXPECT_TRUE(tea_found);
}

TEST(RestoreWiringTest, CompletedRunFillsTheBoxBelowItsEmptyLineAndShutsRestore) {
  SimWizard sim;
  sim.ReachStep3();
  ASSERT_TRUE(sim.Form3().isVisible());
  sim.sink.messages.clear();

  sim.Restore();

  EXPECT_TRUE(sim.sink.messages.empty()) << sim.sink.messages.front();
  EXPECT_TRUE(sim.sink.errors.empty());
  const Lines lines = sim.Form3().TextBox()->Lines();
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), "") << "the box's first line stays";
  ExpectSampleRestoration(lines, 1, sim.Step3().Restoration());
  EXPECT_TRUE(sim.Step3().RestoreFinished());
  EXPECT_FALSE(sim.Form3().RestoreButton()->isEnabled());
  EXPECT_TRUE(sim.Form3().SaveButton()->isEnabled());

  const std::int64_t tape_length = sim.Step1().Tape().TapeLength;
  EXPECT_EQ(sim.Form3().Gauge()->Maximum(), tape_length);
  EXPECT_EQ(sim.Form3().Gauge()->Progress(), tape_length);
  EXPECT_EQ(sim.Form3().Gauge()->PercentDone(), 100);

  // Every printer read of the run went through step 1's slot: the last one
  // was the last name looked up, not a flash read.
  EXPECT_NE(sim.Step1().LastResponse().Command, 241);
  EXPECT_EQ(sim.Step1().LastResponse().SentData, sim.simulator.Requests().back().data);

  sim.Form3().FinishButton()->click();
  EXPECT_EQ(sim.sink.messages, Lines{"Успешно! Завершение приложения!"});
}

TEST(RestoreWiringTest, StoppedRunKeepsItsLinesAndASecondClickAppendsBelow) {
  SimWizard sim;
  sim.ReachStep3();
  sim.sink.messages.clear();
  sim.simulator.AddFault({.kind = sim::FaultKind::Silence, .command = 0x42, .limit = 1});

  sim.Restore();

  EXPECT_EQ(sim.sink.messages, Lines{"Таймаут устройства! GetSerialNumber Ошибка!"});
  EXPECT_EQ(sim.Form3().TextBox()->Lines(), (Lines{"", "Контрольная лента."}));
  EXPECT_TRUE(sim.Form3().RestoreButton()->isEnabled());
  EXPECT_FALSE(sim.Step3().RestoreFinished());

  sim.sink.messages.clear();
  sim.Restore();
  EXPECT_TRUE(sim.sink.messages.empty());
  const Lines lines = sim.Form3().TextBox()->Lines();
  EXPECT_EQ(lines[0], "");
  EXPECT_EQ(lines[1], "Контрольная лента.");
  // The annulment copies the right lines although the text no longer
  // starts where the first run started.
  ExpectSampleRestoration(lines, 2, sim.Step3().Restoration());
  EXPECT_TRUE(sim.Step3().RestoreFinished());
  EXPECT_FALSE(sim.Form3().RestoreButton()->isEnabled());

  sim.Form3().FinishButton()->click();
  EXPECT_EQ(sim.sink.messages, Lines{"Успешно! Завершение приложения!"});
}

TEST(RestoreWiringTest, StoppedRunLeavesFinishReportingAStop) {
  SimWizard sim;
  sim.ReachStep3();
  sim.sink.messages.clear();
  // The first operator read fails: the run stops inside the first record.
  sim.simulator.AddFault({.kind = sim::FaultKind::ErrorCode, .command = 0x30, .code = "0106"});
  sim.Restore();
  ASSERT_EQ(sim.sink.messages.size(), 1u);
  EXPECT_EQ(sim.sink.messages.front().rfind("Оператор 4 \n  ", 0), 0u) << sim.sink.messages.front();
  const Lines lines = sim.Form3().TextBox()->Lines();
  // Lines written before the message are in the box when it shows.
  EXPECT_TRUE(HasAt(lines, 1, kSampleHeader));
  EXPECT_EQ(lines.back(), "     Сквозной номер документа=100, 25/12/08  08:55");
  EXPECT_TRUE(sim.Form3().RestoreButton()->isEnabled());

  sim.sink.messages.clear();
  sim.Form3().FinishButton()->click();
  EXPECT_EQ(sim.sink.messages, Lines{"Приложение остановлено!"});
}

TEST(RestoreWiringTest, TextTheUserTypedStaysAboveAndTheAnnulmentStillReadsItsOwnLines) {
  SimWizard sim;
  sim.ReachStep3();
  sim.Form3().TextBox()->setPlainText(QString::fromUtf8("Смена 25.12\nкасса 1\n"));
  sim.Restore();
  const Lines lines = sim.Form3().TextBox()->Lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "Смена 25.12");
  EXPECT_EQ(lines[1], "касса 1");
  EXPECT_EQ(lines[2], "");
  ExpectSampleRestoration(lines, 3, sim.Step3().Restoration());
}

TEST(RestoreWiringTest, EmptyTapeGivesHeaderAndFooterOnly) {
  // Straight to step 3 without any tape: TapeLength is 0.
  SimWizard sim;
  sim.Connect();
  sim.Form1().NextButton()->setEnabled(true);
  sim.ToStep2();
  sim.Form2().NextButton()->setEnabled(true);
  sim.ToStep3();
  sim.Restore();
  Lines expected{""};
  expected.insert(expected.end(), kSampleHeader.begin(), kSampleHeader.end());
  expected.insert(expected.end(), {" ", " ", " ", kStars, " "});
  EXPECT_EQ(sim.Form3().TextBox()->Lines(), expected);
  EXPECT_TRUE(sim.Step3().RestoreFinished());
}

TEST(RestoreWiringTest, EachBatchOfLinesIsOneEditOfTheBox) {
  SimWizard sim;
  TapeTextBox& box = *sim.Form3().TextBox();
  QSignalSpy edits(box.document(), &QTextDocument::contentsChange);
  const Lines batch{"Продажа товара", "     цена=1.00", "Печать итога"};
  sim.Form3().AppendLines(batch);
  EXPECT_EQ(edits.count(), 1);
  EXPECT_EQ(box.Lines(), (Lines{"", "Продажа товара", "     цена=1.00", "Печать итога"}));
  sim.Form3().AppendLines({});
  EXPECT_EQ(edits.count(), 1) << "an empty batch touches nothing";
}

TEST(RestoreWiringTest, ALineBreakInsidePrinterTextKeepsOneLineOfTheBox) {
  TapeTextBox box;
  const Lines batch{"     a\nb", "c\r\nd", "e"};
  box.AppendLines(batch);
  EXPECT_EQ(box.Lines(), (Lines{"", "     a b", "c  d", "e"}));
}

}  // namespace
}  // namespace fjl::app
