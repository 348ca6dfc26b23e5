#include "tape/flash_reply.h"

#include <gtest/gtest.h>

#include <vector>

#include "tape/download_address.h"
#include "tape/download_view.h"
#include "tape/flash_download.h"

namespace fjl::tape {
namespace {

TEST(ChunkCount, OnlyDecimalNumbersUpToAHundred) {
  struct Case {
    const char* text;
    std::optional<std::int64_t> value;
  };
  const Case cases[] = {
      {"0", 0},   {"49", 49},  {"50", 50}, {"100", 100}, {" 50 ", 50}, {"\t7", 7}, {"0050", 50},
      {"101", std::nullopt},   {"-100", std::nullopt},   {"+50", std::nullopt},   {"-0", std::nullopt},
      {"50abc", std::nullopt}, {"5 0", std::nullopt},    {"", std::nullopt},      {" ", std::nullopt},
      {"abc", std::nullopt},   {"99999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseChunkCount(c.text), c.value) << '"' << c.text << '"';
}

TEST(HexDigits, UpperCaseOnly) {
  EXPECT_EQ(HexDigitValue('0'), 0);
  EXPECT_EQ(HexDigitValue('9'), 9);
  EXPECT_EQ(HexDigitValue('A'), 10);
  EXPECT_EQ(HexDigitValue('F'), 15);
  for (char c : {'a', 'f', 'G', ' ', '\0', '/', ':', '@'}) {
    EXPECT_FALSE(HexDigitValue(c)) << int{c};
  }
}

TEST(DecodeHexBytes, StopsAtTheFirstBadPairKeepingEarlierBytes) {
  std::vector<std::uint8_t> out(4, 0xEE);
  EXPECT_EQ(DecodeHexBytes("0A10FF7F", out), 4u);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{0x0A, 0x10, 0xFF, 0x7F}));

  out.assign(4, 0xEE);
  EXPECT_EQ(DecodeHexBytes("0A0aFF7F", out), 1u);
  EXPECT_EQ(out, (std::vector<std::uint8_t>{0x0A, 0xEE, 0xEE, 0xEE}));

  out.assign(4, 0xEE);
  EXPECT_EQ(DecodeHexBytes("0A1", out), 1u);  // too short for the second byte

  out.assign(2, 0xEE);
  EXPECT_EQ(DecodeHexBytes("G0A0", out), 0u);
  EXPECT_EQ(DecodeHexBytes("0A0A0A", out), 2u);  // text beyond the count is not read
}

TEST(StatusBytesText, SeventeenCharacters) {
  const std::string text = StatusBytesText({0x00, 0x01, 0x7F, 0x10, 0x2A, 0x05});
  EXPECT_EQ(text, "00 01 7F 10 2A 05");
  EXPECT_EQ(text.size(), 17u);
  EXPECT_EQ(StatusBytesText({0xFF, 0xAB, 0, 0, 0, 0xC0}), "FF AB 00 00 00 C0");
}

TEST(FlashReadData, PasswordAddressSemicolons) {
  EXPECT_EQ(FlashReadData("482913", 268458935), "482913;268458935;");
  EXPECT_EQ(FlashReadData("", 388693), ";388693;");
}

TEST(FlashAddressText, UpperCaseHexadecimal) {
  EXPECT_EQ(FlashAddressText(0x10005BB7), "0x10005BB7");
  EXPECT_EQ(FlashAddressText(0x5EE55), "0x5EE55");
  EXPECT_EQ(FlashAddressText(0), "0x0");
}

TEST(ImageSizes, WholeAddressWindows) {
  EXPECT_EQ(kTapeArea.Size(), 2073673);
  EXPECT_EQ(kAuxArea.Size(), 1708459);
  EXPECT_EQ(TapeImage().Size(), 2073673u);
  EXPECT_EQ(AuxImage().Size(), 1708459u);
}

}  // namespace
}  // namespace fjl::tape
