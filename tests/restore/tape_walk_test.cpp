// How the walk ends on tapes it cannot frame, and output that must not
// depend on the process locale.
#include <gtest/gtest.h>

#include <clocale>
#include <random>
#include <string>

#include "restore/record_decoders.h"
#include "restore/restore_harness.h"
#include "support/unlisted_record_types.h"

namespace fjl::restore {
namespace {

using namespace testing;

TEST(TapeWalk, ATypeWithoutALengthEndsTheRunWithAMessage) {
  for (const std::uint8_t type : fjl::testing::UnlistedRecordTypes()) {
    Harness h;
    sim::TapeBuilder tape;
    tape.TotalPrint();
    const std::uint8_t raw[] = {type, 2, 2};
    tape.Raw(raw);
    h.SetTape(tape);
    EXPECT_EQ(h.Run(), RestoreOutcome::Stopped);
    EXPECT_EQ(h.messages.shown,
              std::vector<std::string>{"Запись типа " + std::to_string(type) +
                                       " в позиции 1 имеет неизвестный тип. Восстановление остановлено."});
    EXPECT_EQ(h.LinesAfterHeader(), std::vector<std::string>{"Печать итога"});
    EXPECT_FALSE(h.state.RestoreFinished);
    EXPECT_TRUE(h.view.restore_enabled);
  }
}

TEST(TapeWalk, EveryTypeWithALengthHasADecoderAndNoOtherHas) {
  for (int type = 0; type < 256; ++type) {
    const auto code = static_cast<std::uint8_t>(type);
    const bool framed = tape::RecordLength(code) != 0 && code != tape::kTapeEndMarker;
    EXPECT_EQ(DecoderFor(code) != nullptr, framed) << "type " << type;
  }
}

// A stop request is seen before each record: the walk ends there with no
// message and no footer, the lines so far stay and the run may be made again.
TEST(TapeWalk, AStopRequestEndsTheRunBetweenRecords) {
  struct AfterPolls final : StopSignal {
    explicit AfterPolls(int n) : left(n) {}
    bool StopRequested() const override { return --left < 0; }
    mutable int left;
  };
  struct Case {
    int polls_before_stop;
    std::vector<std::string> lines_after_header;
  };
  const Case cases[] = {
      {0, {}},
      {2, {"Печать итога", "Печать штрих-кода"}},
  };
  for (const Case& c : cases) {
    Harness h;
    AfterPolls stop(c.polls_before_stop);
    h.stop = &stop;
    h.SetTape(sim::TapeBuilder().TotalPrint().BarcodePrint().TotalPrint());
    EXPECT_EQ(h.Run(), RestoreOutcome::Cancelled);
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(h.LinesAfterHeader(), c.lines_after_header);
    EXPECT_EQ(h.view.shown, h.Lines());  // handed to the view before the run ended
    EXPECT_FALSE(h.state.RestoreFinished);
    EXPECT_TRUE(h.view.restore_enabled);
  }
}

TEST(TapeWalk, ARecordRunningPastTheImageEndsTheRun) {
  Harness h;
  auto image = h.Tape().Image.MutableBytes();
  // Barcode records (18 bytes, one line each) up to a sale that the image cuts short.
  const std::size_t sale = (image.size() - 1) / 18 * 18;
  ASSERT_LT(image.size() - sale, 12u);
  for (std::size_t p = 0; p < sale; p += 18) image[p] = 18;
  image[sale] = 5;
  h.Tape().TapeLength = static_cast<std::int64_t>(image.size()) + 1000;  // beyond the image
  EXPECT_EQ(h.Run(), RestoreOutcome::Stopped);
  EXPECT_EQ(h.messages.shown,
            std::vector<std::string>{"Запись типа 5 в позиции " + std::to_string(sale) +
                                     " выходит за пределы образа ленты. Восстановление остановлено."});
  EXPECT_EQ(h.LinesAfterHeader().size(), sale / 18);
  EXPECT_EQ(h.view.maximum, static_cast<std::int32_t>(image.size()));
}

TEST(TapeWalk, ANegativeTapeLengthGivesNoRecord) {
  Harness h;
  h.SetTapeBytes({2, 2, 2});
  h.Tape().TapeLength = -7;
  EXPECT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_TRUE(h.RecordLines().empty());
}

TEST(TapeWalk, TheWalkStopsAtTheTapeLengthEvenWithoutAMarker) {
  Harness h;
  h.SetTapeBytes({2, 2, 2, 2});
  h.Tape().TapeLength = 2;
  EXPECT_EQ(h.Run(), RestoreOutcome::Completed);
  EXPECT_EQ(h.RecordLines(), (std::vector<std::string>{"Печать итога", "Печать итога"}));
}

TEST(TapeWalk, RandomImagesEndWithoutLoopingOrRunningAway) {
  std::mt19937 random(20240607);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 20; ++round) {
    Harness h;
    std::vector<std::uint8_t> bytes(4000);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(random));
    h.SetTapeBytes(bytes);
    h.Tape().TapeLength = 4000;
    auto aux = h.Aux().MutableBytes();
    for (std::size_t i = 0; i < 4000; ++i) aux[i] = static_cast<std::uint8_t>(byte(random));
    const RestoreOutcome outcome = h.Run();
    if (outcome == RestoreOutcome::Stopped) {
      EXPECT_EQ(h.messages.shown.size(), 1u);
    }
    EXPECT_LT(h.Lines().size(), 4000u * 20);
  }
}

// A tape with every kind of number the restoration writes.
sim::TapeBuilder NumbersTape(std::uint32_t item) {
  sim::TapeBuilder tape;
  tape.ReceiptOpen({})
      .ItemSale({.item_reference = item, .quantity = 1500, .price = 123456})
      .PercentAdjustment(-250)
      .PercentSubtotalAdjustment({.percent = 1000, .amount = 12345})
      .FinalPayment({.payment_form = 0, .amount = 150000, .change = 2544})
      .ReceiptClose({.document_number = 1234567, .receipt_number = 1234})
      .CashInOut({.operator_index = 0, .amount = -100000, .cash = 123456789012});
  return tape;
}

TEST(Locale, NumbersKeepTheirPointUnderACommaLocale) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  const char* comma_locale = nullptr;
  for (const char* name : {"de_DE.UTF-8", "ru_RU.UTF-8", "de_DE.utf8", "ru_RU.utf8", "Russian_Russia.1251"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) {
      comma_locale = name;
      break;
    }
  }
  if (comma_locale == nullptr) GTEST_SKIP() << "no locale with a decimal comma is installed";
  ASSERT_EQ(std::string(std::localeconv()->decimal_point), ",");

  Harness h;
  std::uint32_t item = 0;
  h.SetAux(sim::AuxBuilder().Item({.code = 1234567, .name = "X"}).Tag(item));
  h.SetTape(NumbersTape(item));
  h.Run();
  std::setlocale(LC_ALL, before.c_str());

  EXPECT_EQ(h.RecordLines(), (std::vector<std::string>{
                                 " ",
                                 kEquals,
                                 "Открыть фискальный чек",
                                 "     тип чека - продажа товаров,",
                                 "     номер POS - 1,",
                                 "     оператор #1: Кассир 1",
                                 "Продажа товара",
                                 "     номер артикула=1234567,",
                                 "     налог=А,",
                                 "     отдел=0,",
                                 "     имя товара=X",
                                 "     количество=1.500,",
                                 "     цена=1234.56",
                                 "Процентная скидка/надбавка на товар",
                                 "     скидка=-2.50%",
                                 "Процентная скидка/надбавка на подсумму",
                                 "     надбавка=10.00%,",
                                 "     в денежном выражении=123.45",
                                 "Окончательная оплата",
                                 "     Номер оплаты=0, Название=Форма 0,",
                                 "     сумма оплаты=1500.00,",
                                 "     сдача=25.44",
                                 "Закрыть фискальный чек",
                                 "     Сквозной номер документа=1234567, 00/00/00  00:00",
                                 "     Номер чека продажи=1234",
                                 kEquals,
                                 " ",
                                 " ",
                                 kEquals,
                                 "Служебный внос/вынос денег",
                                 "     Сквозной номер документа=0, 00/00/00  00:00",
                                 "     оператор #1: Кассир 1",
                                 "     служебный вынос=-1000.00,",
                                 "     сумма наличности в регистраторе=1234567890.12",
                                 kEquals,
                                 " ",
                             }));
}

}  // namespace
}  // namespace fjl::restore
