// The header, the footer and how a run ends.
#include <gtest/gtest.h>

#include "restore/restore_harness.h"

namespace fjl::restore {
namespace {

using namespace testing;

TEST(RestoreTape, AnEmptyTapeGivesHeaderAndFooterOnly) {
  Harness h;  // TapeLength 0: nothing downloaded
  EXPECT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.Lines(), Concat({{""}, ExpectedHeader(), ExpectedFooter()}));
  EXPECT_TRUE(h.messages.shown.empty());
  EXPECT_TRUE(h.state.RestoreFinished);
  EXPECT_FALSE(h.view.restore_enabled);
  EXPECT_EQ(h.view.shown, h.Lines());  // every line reached the box
}

TEST(RestoreTape, ATapeThatStartsWithTheEndMarkerGivesNoRecord) {
  Harness h;
  h.SetTapeBytes({255, 2, 2, 2});
  h.Tape().TapeLength = 4;
  EXPECT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.Lines(), Concat({{""}, ExpectedHeader(), ExpectedFooter()}));
}

TEST(RestoreTape, AsksForTheIdentityAndTaxRatesWithThePassword) {
  Harness h;
  h.Run();
  ASSERT_EQ(h.printer.sent.size(), 8u);
  EXPECT_EQ(h.printer.sent[0].command, 0x42);
  EXPECT_EQ(h.printer.sent[0].data, "482913;");
  EXPECT_EQ(h.printer.sent[1].command, 0x44);
  EXPECT_EQ(h.printer.sent[2].command, 0x46);
  for (int g = 0; g < 5; ++g) {
    EXPECT_EQ(h.printer.sent[3 + g].command, 0x48);
    EXPECT_EQ(h.printer.sent[3 + g].data, "482913;" + std::to_string(g) + ";");
  }
  EXPECT_EQ(h.replies_seen, 8);  // each reply was handed on as the latest one
  EXPECT_EQ(h.last_reply.Command, 0x48);
}

TEST(RestoreTape, TheGaugeRunsFromZeroToTheTapeLength) {
  Harness h;
  sim::TapeBuilder tape;
  for (int i = 0; i < 300; ++i) tape.TotalPrint();
  h.SetTape(tape);
  h.Run();
  EXPECT_EQ(h.view.minimum, 0);
  EXPECT_EQ(h.view.maximum, 300);
  EXPECT_EQ(h.view.progress_shown.front(), 0);
  EXPECT_EQ(h.view.progress_shown.back(), 300);
  EXPECT_EQ(h.view.progress_shown.size(), 101u);
  // The lines reach the box in a few batches, not one call per line.
  EXPECT_LE(h.view.batches.size(), 102u);
  EXPECT_EQ(h.view.shown, h.Lines());
}

TEST(TapeHeader, TaxRateLinesNameTheTypeAndTheLinkedGroup) {
  Harness h;
  h.printer.On(link::kCmdGetTaxRate, [](int group) {
    switch (group) {
      case 0:
        return OkReply({"0", "0.00", "Без налога", "-1"});
      case 1:
        return OkReply({"6", "5.00", "Сбор", "2"});
      case 2:
        return OkReply({"7", "1.50", "Акциз", " -1"});
      case 3:
        return OkReply({"9", "3.00", "Странный"});  // code 9, no linked group field
      default:
        return OkReply({"3"});  // rate and name missing
    }
  });
  h.Run();
  const auto lines = h.Lines();
  EXPECT_EQ(lines[8], "Налог А, тип=Налог запрещен, ставка=0.00, название=Без налога");
  EXPECT_EQ(lines[9], "Налог Б, тип=Налог 2  Вложенный +, ставка=5.00, название=Сбор, связанная группа=2");
  EXPECT_EQ(lines[10], "Налог В, тип=Налог 2  Наложенный +, ставка=1.50, название=Акциз");
  EXPECT_EQ(lines[11], "Налог Г, тип=9, ставка=3.00, название=Странный");
  EXPECT_EQ(lines[12], "Налог Д, тип=Группа не облагаемая налогом, ставка=, название=");
}

TEST(TapeHeader, AFailedTaxGroupIsLeftOutWithItsMessage) {
  Harness h;
  h.printer.On(link::kCmdGetTaxRate, [](int group) {
    if (group == 1) return ErrorReply("0406");
    if (group == 3) return NoReply();
    return OkReply({"2", "10.00", "НДС", "-1"});
  });
  EXPECT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.messages.shown, (std::vector<std::string>{"Налог Б:\n  Неверный пароль доступа!",
                                                           "Налог Г:\n  Таймаут устройства! Ошибка!"}));
  const auto lines = h.Lines();
  EXPECT_EQ(lines[8], "Налог А, тип=Наложенный, ставка=10.00, название=НДС");
  EXPECT_EQ(lines[9], "Налог В, тип=Наложенный, ставка=10.00, название=НДС");
  EXPECT_EQ(lines[10], "Налог Д, тип=Наложенный, ставка=10.00, название=НДС");
  EXPECT_EQ(lines[11], " ");
}

TEST(TapeHeader, IdentificationAndTaxNumberLines) {
  struct Case {
    std::vector<std::string> fields;
    const char* id_line;
    const char* tax_line;
  };
  const Case cases[] = {
      {{"123456;", "777"}, "IД - 123456", "ПН - 777"},  // a data text that ended in ";;"
      {{"123456;;"}, "IД - 123456", "ПН - "},
      {{"123456"}, "IД - 123456", "ПН - "},  // one field only
      {{"", "777"}, "IД - ", "ПН - 777"},
      {{";", ";777"}, "IД - ", "ПН - "},
      {{";1", "7;"}, "IД - ", "ПН - 7;"},
  };
  for (const Case& c : cases) {
    Harness h;
    h.printer.On(link::kCmdGetTaxIdNumber, [&c](int) { return OkReply(c.fields); });
    h.Run();
    EXPECT_EQ(h.Lines()[5], c.id_line) << c.fields[0];
    EXPECT_EQ(h.Lines()[6], c.tax_line) << c.fields[0];
  }
}

TEST(RestoreTape, IdentityReadFailuresStopTheRun) {
  struct Case {
    std::int32_t command;
    link::DeviceResponse reply;
    const char* message;
    std::size_t lines_written;  // after the box's own empty line
  };
  const Case cases[] = {
      {0x42, NoReply(), "Таймаут устройства! GetSerialNumber Ошибка!", 1},
      {0x42, ErrorReply("0102"), "Ошибка GetSerialNumber!", 1},
      {0x44, NoReply(), "Таймаут устройства! GetFiscalNumber Ошибка!", 3},
      {0x44, ErrorReply("0406"), "Ошибка GetFiscalNumber!", 3},
      {0x46, NoReply(), "Таймаут устройства! GetTaxIdNumber Ошибка!", 4},
      {0x46, ErrorReply("0004"), "Ошибка GetTaxIdNumber!", 4},
  };
  for (const Case& c : cases) {
    Harness h;
    h.printer.On(c.command, [&c](int) { return c.reply; });
    EXPECT_EQ(h.Run(), RestoreOutcome::Stopped);
    EXPECT_EQ(h.messages.shown, std::vector<std::string>{c.message});
    const auto header = ExpectedHeader();
    const auto expected_lines =
        Concat({{""}, std::vector<std::string>(header.begin(), header.begin() + static_cast<long>(c.lines_written))});
    EXPECT_EQ(h.Lines(), expected_lines) << c.message;
    EXPECT_EQ(h.view.shown, h.Lines()) << "the box is up to date when the message shows";
    EXPECT_FALSE(h.state.RestoreFinished);
    EXPECT_TRUE(h.view.restore_enabled);
  }
}

TEST(RestoreTape, WithoutAPrinterOnlyTheTitleIsWritten) {
  Harness h;
  for (int command : {0x42, 0x44, 0x46, 0x48, 0x30, 0x2E, 0x33}) h.printer.On(command, [](int) { return NoReply(); });
  EXPECT_EQ(h.Run(), RestoreOutcome::Stopped);
  EXPECT_EQ(h.Lines(), (std::vector<std::string>{"", "Контрольная лента."}));
  EXPECT_EQ(h.printer.sent.size(), 1u);
}

TEST(RestoreTape, ASecondRunAfterAStopAppendsANewHeader) {
  Harness h;
  h.printer.On(0x42, [](int) { return NoReply(); });
  h.state.CurrentReceiptKind = 1;
  ASSERT_EQ(h.Run(), RestoreOutcome::Stopped);
  h.printer.On(0x42, [](int) { return OkReply({"12345678"}); });
  EXPECT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.Lines(), Concat({{"", "Контрольная лента."}, ExpectedHeader(), ExpectedFooter()}));
  EXPECT_EQ(h.state.CurrentReceiptKind, 1);  // survives runs
  EXPECT_TRUE(h.state.RestoreFinished);
}

}  // namespace
}  // namespace fjl::restore
