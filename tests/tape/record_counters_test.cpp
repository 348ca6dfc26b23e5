#include "tape/record_counters.h"

#include <gtest/gtest.h>

#include <iterator>
#include <optional>

#include "support/recording_views.h"

namespace fjl::tape {
namespace {

TEST(CounterBoxes, TapeLabelsInThreeColumnsOfSeven) {
  // Both windows set the boxes out by index, column by column.
  EXPECT_EQ(kTapeCounterColumns, 3);
  EXPECT_EQ(kTapeCounterRows, 7);
  const CounterBox expected[] = {
      {"Открытие чека:", 0},
      {"Закрытие чека:", 1},
      {"Печать итога:", 2},
      {"Частичная оплата:", 3},
      {"Оплата окончательная:", 4},
      {"Продажа товара::", 5},
      {"Процен. надбав-скидка:", 6},
      {"Стоим. надбав-скидка:", 7},
      {"Процен. надбав-скидка на сумму:", 8},
      {"Стоим. надбав-скидка на сумму:", 9},
      {"Процен. надбав-скидка по налогу:", 10},
      {"Стоим. надбав-скидка по налогу:", 11},
      {"Задание номера отдела:", 12},
      {"Аннулирование товара:", 14},
      {"Аннулирование чека:", 15},
      {"Служебное внесение, выдача:", 16},
      {"Коментарий (фиск. чек):", 17},
      {"Печать штрих-кода:", 18},
      {"Открытие произвольного документа:", 19},
      {"Закрытие произвольного документа:", 20},
      {"Всего:", kTotalKind},
  };
  ASSERT_EQ(kTapeCounterBoxes.size(), std::size(expected));
  for (std::size_t i = 0; i < kTapeCounterBoxes.size(); ++i) {
    EXPECT_EQ(kTapeCounterBoxes[i].label, expected[i].label) << "box " << i;
    EXPECT_EQ(kTapeCounterBoxes[i].kind, expected[i].kind) << "box " << i;
  }
  EXPECT_EQ(kTapeTotalBox, 20u);
}

TEST(CounterBoxes, AuxLabels) {
  EXPECT_EQ(kAuxCounterBoxes[0].label, "Информация о параметрах товара:");
  EXPECT_EQ(kAuxCounterBoxes[1].label, "Запись об отделе:");
  EXPECT_EQ(kAuxCounterBoxes[2].label, "Запись об единице измерения:");
  EXPECT_EQ(kAuxCounterBoxes[3].label, "Комментарий:");
  EXPECT_EQ(kAuxCounterBoxes[kAuxTotalBox].label, "Всего:");
  EXPECT_EQ(kAuxCounterBoxes[kAuxTotalBox].kind, kTotalKind);
}

TEST(ParseCounterText, WholeNumbersOnly) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> value;
  };
  const Case cases[] = {
      {"0", 0},
      {"41", 41},
      {" 7 ", 7},
      {"+5", 5},
      {"-3", -3},
      {"007", 7},
      {"9223372036854775806", 9223372036854775806},
      {"9223372036854775807", std::nullopt},  // one more count would overflow
      {"", std::nullopt},
      {"  ", std::nullopt},
      {"-", std::nullopt},
      {"abc", std::nullopt},
      {"1.5", std::nullopt},
      {"12a", std::nullopt},
      {"1 2", std::nullopt},
      {"0x10", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseCounterText(c.text), c.value) << '"' << c.text << '"';
  }
}

TEST(RecordCounters, CountGoesOnFromTheNumberShown) {
  recording::Counters view(kTapeCounterBoxes.size());
  RecordCounters counters(view, kTapeCounterBoxes);
  view.texts[5] = "41";
  view.texts[kTapeTotalBox] = "100";
  EXPECT_FALSE(counters.CountRecord(5));
  EXPECT_EQ(view.texts[5], "42");
  EXPECT_EQ(view.texts[kTapeTotalBox], "101");
  // The type's own box first, then the total, each written as it changes.
  ASSERT_EQ(view.writes.size(), 2u);
  EXPECT_EQ(view.writes[0], (std::pair<std::size_t, std::string>{5, "42"}));
  EXPECT_EQ(view.writes[1], (std::pair<std::size_t, std::string>{kTapeTotalBox, "101"}));

  EXPECT_FALSE(counters.CountRecord(14));  // type 14 sits in box 13
  EXPECT_EQ(view.texts[13], "1");
  EXPECT_EQ(view.texts[kTapeTotalBox], "102");
}

TEST(RecordCounters, KindWithoutABoxCountsInTheTotalOnly) {
  recording::Counters view(kAuxCounterBoxes.size());
  RecordCounters counters(view, kAuxCounterBoxes);
  EXPECT_FALSE(counters.CountRecord(7));
  EXPECT_EQ(view.texts, (std::vector<std::string>{"0", "0", "0", "0", "1"}));
  EXPECT_FALSE(counters.CountRecord(3));
  EXPECT_EQ(view.texts, (std::vector<std::string>{"0", "0", "0", "1", "2"}));
}

TEST(RecordCounters, BoxHoldingNoNumberIsAFault) {
  recording::Counters view(kTapeCounterBoxes.size());
  RecordCounters counters(view, kTapeCounterBoxes);
  view.texts[2] = "abc";
  const auto fault = counters.CountRecord(2);
  ASSERT_TRUE(fault);
  EXPECT_EQ(fault->box, 2u);
  EXPECT_EQ(fault->text, "abc");
  EXPECT_EQ(view.texts[kTapeTotalBox], "0");
  EXPECT_EQ(CounterFaultMessage(*fault, kTapeCounterBoxes),
            "Значение 'abc' в поле \"Печать итога:\" не является целым числом. "
            "Чтение данных остановлено.");

  view.texts[2] = "3";
  view.texts[kTapeTotalBox] = "";
  const auto total_fault = counters.CountRecord(2);
  ASSERT_TRUE(total_fault);
  EXPECT_EQ(total_fault->box, kTapeTotalBox);
  EXPECT_EQ(view.texts[2], "4");
}

TEST(RecordCounters, ResetWritesZeroEverywhere) {
  recording::Counters view(kAuxCounterBoxes.size());
  view.texts = {"5", "abc", "", "7", "12"};
  RecordCounters(view, kAuxCounterBoxes).Reset();
  EXPECT_EQ(view.texts, std::vector<std::string>(5, "0"));
}

}  // namespace
}  // namespace fjl::tape
