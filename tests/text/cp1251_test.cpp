#include "text/cp1251.h"

#include <gtest/gtest.h>

#include <string>

namespace fjl::text {
namespace {

TEST(Cp1251, EveryByteRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(Cp1251, EveryByteHasItsOwnCodePoint) {
  for (int a = 0; a < 256; ++a)
    for (int b = a + 1; b < 256; ++b)
      ASSERT_NE(Cp1251ToCodePoint(static_cast<std::uint8_t>(a)),
                Cp1251ToCodePoint(static_cast<std::uint8_t>(b)))
          << a << " " << b;
}

struct Pair {
  unsigned byte;
  char32_t code_point;
};

// Samples worked from the code page chart: letters, Ukrainian and Belarusian
// extras, punctuation above U+2000, and the one undefined byte.
TEST(Cp1251, KnownPositions) {
  const Pair pairs[] = {
      {0x41, U'A'},     {0xC0, U'А'},     {0xDF, U'Я'},     {0xE0, U'а'},     {0xFF, U'я'},
      {0xA8, U'Ё'},     {0xB8, U'ё'},     {0xB2, U'І'},     {0xB3, U'і'},     {0xAA, U'Є'},
      {0xBA, U'є'},     {0xAF, U'Ї'},     {0xBF, U'ї'},     {0xA1, U'Ў'},     {0xA2, U'ў'},
      {0xA5, U'Ґ'},     {0xB4, U'ґ'},     {0x88, U'€'},     {0xB9, U'№'},     {0x85, U'…'},
      {0x96, U'–'},     {0x97, U'—'},     {0x99, U'™'},     {0xA0, 0x00A0},  {0x98, 0x0098},
  };
  for (const auto& p : pairs) {
    EXPECT_EQ(Cp1251ToCodePoint(static_cast<std::uint8_t>(p.byte)), p.code_point) << std::hex << p.byte;
    EXPECT_EQ(CodePointToCp1251(p.code_point), p.byte) << std::hex << p.byte;
  }
}

TEST(Cp1251, TextBothWays) {
  EXPECT_EQ(Cp1251ToUtf8("\xCA\xEE\xED\xF2\xF0\xEE\xEB\xFC\xED\xE0\xFF"), "Контрольная");
  EXPECT_EQ(Utf8ToCp1251("IД - 12"), "I\xC4 - 12");
}

TEST(Cp1251, UnmappableAndMalformedBecomeQuestionMarks) {
  struct Case {
    const char* utf8;
    const char* expected;
  };
  const Case cases[] = {
      {"日本", "??"},                 // outside the code page
      {"a\xF0\x9F\x98\x80z", "a?z"},  // 4-byte emoji
      {"\xFF", "?"},                  // not UTF-8 at all
      {"\xD0", "?"},                  // cut sequence at the end
      {"\xD0" "A", "?A"},             // cut sequence before ASCII: the ASCII survives
      {"\xC0\x80", "?"},              // overlong NUL
      {"\xED\xA0\x80", "?"},          // surrogate
      {"Ω€", "?\x88"},
  };
  for (const auto& c : cases) EXPECT_EQ(Utf8ToCp1251(c.utf8), c.expected) << c.utf8;
}

}  // namespace
}  // namespace fjl::text
