#include "link/request_frame.h"

#include <gtest/gtest.h>

#include <array>

#include "link/fake_channel.h"  // tests/link

namespace fjl::link {
namespace {

using testing::Bytes;

TEST(RequestFrame, WorkedExamples) {
  EXPECT_EQ(BuildRequestFrame(0x21, 0x21, ""), Bytes({0x01, 0x24, 0x21, 0x21, 0x05, 0x30, 0x30, 0x36, 0x3B, 0x03}));
  EXPECT_EQ(BuildRequestFrame(0x22, 0x42, "1;"),
            Bytes({0x01, 0x26, 0x22, 0x42, 0x31, 0x3B, 0x05, 0x30, 0x30, 0x3F, 0x3B, 0x03}));
}

TEST(RequestFrame, HighDataBytesAreSummedUnsigned) {
  // 0x25 + 0x21 + 0x21 + 0xFF + 0x05 = 0x16B
  EXPECT_EQ(BuildRequestFrame(0x21, 0x21, "\xFF"),
            Bytes({0x01, 0x25, 0x21, 0x21, 0xFF, 0x05, 0x30, 0x31, 0x36, 0x3B, 0x03}));
}

TEST(RequestFrame, LongestDataText) {
  const std::string frame = BuildRequestFrame(0x20, 0xF1, std::string(kMaxFrameData, '\xFF'));
  ASSERT_EQ(frame.size(), kMaxFrameData + 10);
  EXPECT_EQ(static_cast<std::uint8_t>(frame[1]), 0xFF);
  // 0xFF + 0x20 + 0xF1 + 219 * 0xFF + 0x05 = 0xDC3A
  EXPECT_EQ(frame.substr(frame.size() - 5), "=<3:\x03");
}

TEST(RequestFrame, ChecksumCharacters) {
  struct Case {
    std::uint32_t sum;
    const char* text;
  };
  const Case cases[] = {
      {0x0000, "0000"}, {0x006B, "006;"}, {0xABCD, ":;<="}, {0xFFFF, "????"}, {0x12345, "2345"}, {0x0C00, "0<00"},
  };
  for (const Case& c : cases) {
    std::array<std::uint8_t, 4> out{};
    WriteChecksumCharacters(c.sum, out);
    EXPECT_EQ(std::string(out.begin(), out.end()), c.text) << std::hex << c.sum;
  }
}

TEST(RequestFrame, SequenceBytes) {
  const std::pair<int, int> cases[] = {{0, 0x20}, {1, 0x21}, {94, 0x7E}, {95, 0x20}, {96, 0x21},
                                       {190, 0x20}, {254, 0x60}, {255, 0x61}};
  for (auto [counter, seq] : cases) EXPECT_EQ(SequenceByte(static_cast<std::uint8_t>(counter)), seq) << counter;
}

}  // namespace
}  // namespace fjl::link
