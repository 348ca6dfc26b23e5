#include "restore/number_text.h"

#include <gtest/gtest.h>

#include <limits>

#include "restore/tax_letter.h"

namespace fjl::restore {
namespace {

struct FixedCase {
  std::int64_t value;
  int digits;
  const char* text;
};

TEST(FixedPointText, WritesHundredthsAndThousandths) {
  const FixedCase cases[] = {
      {5, 2, "0.05"},
      {12345, 2, "123.45"},
      {0, 2, "0.00"},
      {-5, 2, "-.05"},
      {-500, 2, "-5.00"},
      {1500, 3, "1.500"},
      {5, 3, ".005"},
      {500, 3, ".500"},
      {1999, 2, "19.99"},
      {512, 2, "5.12"},
      {-250, 2, "-2.50"},
      {1250, 2, "12.50"},
      {-50, 2, "-.50"},
      {-1000, 2, "-10.00"},
      {0, 3, ".000"},
      {-1500, 3, "-1.500"},
      // Fewer digits than places after the point: padded, the sign stays in front.
      {-5, 3, "-.005"},
      {-50, 3, "-.050"},
      {281474976710655, 2, "2814749767106.55"},
      {std::numeric_limits<std::int32_t>::min(), 2, "-21474836.48"},
      {std::numeric_limits<std::int64_t>::min(), 2, "-92233720368547758.08"},
  };
  for (const FixedCase& c : cases) {
    EXPECT_EQ(FixedPointText(c.value, c.digits), c.text) << c.value << "," << c.digits;
  }
}

TEST(DecimalValue, ReadsLikeTheStartOfANumber) {
  const std::pair<const char*, std::int64_t> cases[] = {
      {"5", 5},
      {"-1", -1},
      {"  -1", -1},
      {"+7", 7},
      {"12abc", 12},
      {"", 0},
      {"abc", 0},
      {"-", 0},
      {" ", 0},
      {"1 2", 1},
      {"007", 7},
      {"3.5", 3},
      {"99999999999999999999", std::numeric_limits<std::int64_t>::max()},
      {"-99999999999999999999", std::numeric_limits<std::int64_t>::min()},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(DecimalValue(text), value) << '"' << text << '"';
}

TEST(HexByte, WritesTwoUpperCaseDigits) {
  EXPECT_EQ(HexByte(0x07), "07");
  EXPECT_EQ(HexByte(0x23), "23");
  EXPECT_EQ(HexByte(0x1A), "1A");
  EXPECT_EQ(HexByte(0x00), "00");
  EXPECT_EQ(HexByte(0xFF), "FF");
}

TEST(Decimal, WritesPlainDecimal) {
  EXPECT_EQ(Decimal(65541), "65541");
  EXPECT_EQ(Decimal(-1), "-1");
  EXPECT_EQ(Decimal(0), "0");
}

TEST(TaxLetter, NamesTheGroupsWithCyrillicLetters) {
  EXPECT_EQ(TaxLetter(0), "А");
  EXPECT_EQ(TaxLetter(1), "Б");
  EXPECT_EQ(TaxLetter(2), "В");
  EXPECT_EQ(TaxLetter(3), "Г");
  EXPECT_EQ(TaxLetter(4), "Д");
  EXPECT_EQ(TaxLetter(5), "Е");  // no range check: the next letter
  EXPECT_EQ(TaxLetter(63), "я");
  EXPECT_EQ(TaxLetter(64), "");  // lands on code 0
  EXPECT_EQ(TaxLetter(65), "\x01");
}

}  // namespace
}  // namespace fjl::restore
