#include "link/reply_decoder.h"

#include <gtest/gtest.h>

#include "link/fake_channel.h"  // tests/link

namespace fjl::link {
namespace {

using testing::Bytes;
using testing::ReplyFrame;

// Runs `bytes` through a fresh receiver and decodes them as the reply to `command`.
DeviceResponse Decode(std::int32_t command, const std::string& bytes, const DeviceResponse& before = {}) {
  ReplyReceiver rx;
  rx.BeginReply();
  for (char c : bytes) rx.ReceiveByte(static_cast<std::uint8_t>(c));
  DeviceResponse r = before;
  DecodeReply({rx, command, "sent;", true}, r);
  return r;
}

std::string Status(int s0, int s1, int s2, int s3, int s4, int s5) {
  return Bytes({s0, s1, s2, s3, s4, s5});
}

TEST(StatusWord, EachStatusBitFeedsItsWordBit) {
  struct Case {
    int byte;
    int bit;
    std::uint32_t word;
  };
  // Worked from the bit table: word bit number by status byte and bit.
  const Case cases[] = {
      {0, 0, 1u << 0},  {0, 1, 1u << 1},  {0, 2, 1u << 2},  {0, 4, 1u << 3},  {1, 0, 1u << 4},
      {1, 1, 1u << 5},  {1, 2, 1u << 6},  {1, 3, 1u << 7},  {1, 4, 1u << 8},  {2, 0, 1u << 9},
      {2, 3, 1u << 10}, {2, 5, 1u << 11}, {1, 5, 1u << 12}, {4, 2, 1u << 13}, {5, 5, 1u << 14},
      {4, 0, 1u << 16}, {4, 4, 1u << 17}, {5, 0, 1u << 18}, {5, 2, 1u << 19}, {4, 3, 1u << 20},
      {5, 1, 1u << 21}, {5, 3, 1u << 22}, {5, 4, 1u << 23}, {0, 5, 1u << 27}, {4, 5, 1u << 28},
  };
  for (const Case& c : cases) {
    std::array<std::uint8_t, 6> bytes{};
    bytes[static_cast<std::size_t>(c.byte)] = static_cast<std::uint8_t>(1u << c.bit);
    EXPECT_EQ(StatusWordOf(bytes), c.word) << "S" << c.byte << " bit " << c.bit;
  }
}

TEST(StatusWord, BitsWithoutAMeaningSetNothing) {
  EXPECT_EQ(StatusWordOf(std::array<std::uint8_t, 6>{0x08, 0x00, 0x16, 0xFF, 0x02, 0x00}), 0u);
  EXPECT_EQ(StatusWordOf(std::array<std::uint8_t, 6>{0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0}), 0u);
  // All meaningful bits at once: bits 0..14, 16..23, 27, 28.
  EXPECT_EQ(StatusWordOf(std::array<std::uint8_t, 6>{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), 0x18FF7FFFu);
}

TEST(DecodeReply, ExampleReply) {
  const DeviceResponse r = Decode(0x42, Bytes({0x01, 0x34, 0x22, 0x42, 0x30, 0x30, 0x30, 0x30, 0x3B, 0x41, 0x42, 0x31,
                                              0x32, 0x04, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x05, 0x30, 0x35, 0x38,
                                              0x32, 0x03}));
  EXPECT_EQ(r.Status, 0u);
  for (std::uint8_t s : r.StatusBytes) EXPECT_EQ(s, 0);
  EXPECT_EQ(r.ErrorCode, "0000");
  ASSERT_EQ(r.FieldCount, 1);
  EXPECT_EQ(r.Fields[0], "AB12");
  EXPECT_EQ(r.ReplyData, "AB12");
  EXPECT_EQ(r.Command, 0x42);
  EXPECT_EQ(r.CommandName, "Команда 42h: Чтение заводского номера");
  EXPECT_EQ(r.SentData, "sent;");
}

TEST(DecodeReply, StatusBytesLoseBitSeven) {
  const DeviceResponse r = Decode(0x21, ReplyFrame(0x21, 0x21, "0000", "", Status(0xA0, 0x80, 0x80, 0xBF, 0x80, 0x81)));
  EXPECT_EQ(r.Status, StatusS0B5 | StatusS5B0);
  EXPECT_EQ(r.StatusBytes, (std::array<std::uint8_t, 6>{0x20, 0, 0, 0x3F, 0, 0x01}));
}

TEST(DecodeReply, S0Bit5AloneGivesBit27) {
  const DeviceResponse r = Decode(0x21, ReplyFrame(0x21, 0x21, "0000", "", Status(0x20, 0, 0, 0, 0, 0)));
  EXPECT_EQ(r.Status, 1u << 27);
}

TEST(DecodeReply, NakAloneEvenWithDifferentChecksums) {
  // A good frame's sums are discarded by nothing; a NAK afterwards still wins.
  const DeviceResponse r = Decode(0x21, "\x01\x34\x21\x42" "00\x15");
  EXPECT_EQ(r.Status, StatusNak);
}

TEST(DecodeReply, NoReply) {
  DeviceResponse before;
  before.FieldCount = 2;
  before.Fields[0] = "old";
  before.Fields[1] = "older";
  before.ErrorCode = "0000";
  const DeviceResponse r = Decode(0x21, "\x01\x34\x21", before);
  EXPECT_EQ(r.Status, StatusNoReply);
  EXPECT_EQ(r.FieldCount, 0);
  EXPECT_EQ(r.ErrorCode, "");
  EXPECT_EQ(r.Fields[0], "");
  EXPECT_EQ(r.Fields[1], "");
  EXPECT_EQ(r.RawReply, "\x01\x34\x21");
}

TEST(DecodeReply, HalfAFrameWithoutAnEndIsNoReplyWithoutFields) {
  const std::string frame = ReplyFrame(0x21, 0x46, "0000", "12;34;");
  const DeviceResponse r = Decode(0x46, frame.substr(0, 14));  // through "0000;12;3"
  EXPECT_EQ(r.Status, StatusNoReply);
  EXPECT_EQ(r.FieldCount, 0);
  EXPECT_EQ(r.ErrorCode, "");
  EXPECT_EQ(r.ReplyData, "");
  EXPECT_EQ(r.RawReply, frame.substr(0, 14));
}

TEST(DecodeReply, WrongChecksum) {
  std::string frame = ReplyFrame(0x21, 0x21, "0000", "AB", Status(0x20, 0, 0, 0, 0, 0));
  frame[frame.size() - 2] = static_cast<char>(frame[frame.size() - 2] ^ 1);
  const DeviceResponse r = Decode(0x21, frame);
  EXPECT_EQ(r.Status, StatusBadChecksum);  // and no printer bit
  EXPECT_EQ(r.StatusBytes[0], 0x20);
}

TEST(DecodeReply, CutFrameEndedByEtxIsABadChecksum) {
  EXPECT_EQ(Decode(0x21, "\x03").Status, StatusBadChecksum);
  const std::string frame = ReplyFrame(0x21, 0x21, "0000", "AB");
  EXPECT_EQ(Decode(0x21, frame.substr(0, 12) + "\x03").Status, StatusBadChecksum);
}

TEST(DecodeReply, DecimalCommaFixups) {
  struct Case {
    std::int32_t command;
    std::string data;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {53, "12345", {"1,2345"}},
      {50, "12345", {"1,2345"}},
      {50, "7", {"7"}},  // one character: no fix-up
      {62, "ABCDEFGHIJ", {"ABCDEFGH,J"}},
      {62, "ABCDEFGHI", {"ABCDEFGH,"}},
      {62, "ABCDEFGH", {"ABCDEFGH"}},
      {90, "1 2;3 4", {"1,2", "3,4"}},
      {90, "0123456789012345678 9 1", {"0123456789012345678,9 1"}},
      {0x48, "1 2;3", {"1 2", "3"}},
  };
  for (const Case& c : cases) {
    const DeviceResponse r = Decode(c.command, ReplyFrame(0x21, c.command, "0000", c.data));
    ASSERT_EQ(r.FieldCount, static_cast<int>(c.fields.size())) << c.command << " " << c.data;
    for (std::size_t i = 0; i < c.fields.size(); ++i) EXPECT_EQ(r.Fields[i], c.fields[i]) << c.command;
    EXPECT_EQ(r.ReplyData, c.data);  // before the fix-ups
  }
}

TEST(DecodeReply, ReplyDataKeepsTheFirst128Characters) {
  std::string data;
  for (int i = 0; i < 200; ++i) data.push_back(static_cast<char>('a' + i % 26));
  const DeviceResponse r = Decode(0x21, ReplyFrame(0x21, 0x21, "0000", data));
  EXPECT_EQ(r.ReplyData, data.substr(0, 128));
  EXPECT_EQ(r.Fields[0], data);
}

TEST(SplitFields, Examples) {
  struct Case {
    std::string data;
    std::vector<std::string> fields;
  };
  const Case cases[] = {
      {"0001;12;;AB;", {"0001", "12", "", "AB"}},
      {"X", {"X"}},
      {"", {}},
      {";", {""}},
      {"A;B", {"A", "B"}},
      {"A;B;;", {"A", "B"}},
      {";A", {"", "A"}},
      {"144;0A1B", {"144", "0A1B"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitFields(c.data), c.fields) << c.data;
}

TEST(SplitFields, TwentyFieldsAtMostAndTheLastKeepsTheRest) {
  std::string data;
  for (int i = 1; i <= 23; ++i) data += std::to_string(i) + ";";
  const std::vector<std::string> fields = SplitFields(data);
  ASSERT_EQ(fields.size(), 20u);
  EXPECT_EQ(fields[0], "1");
  EXPECT_EQ(fields[18], "19");
  EXPECT_EQ(fields[19], "20;21;22;23");

  std::string twenty;
  for (int i = 1; i <= 20; ++i) twenty += std::to_string(i) + ";";
  const std::vector<std::string> exact = SplitFields(twenty);
  ASSERT_EQ(exact.size(), 20u);
  EXPECT_EQ(exact[19], "20");
}

TEST(DecodeReply, MoreThanTwentyFields) {
  std::string data;
  for (int i = 0; i < 30; ++i) data += "F;";
  const DeviceResponse r = Decode(0x21, ReplyFrame(0x21, 0x21, "0000", data));
  EXPECT_EQ(r.FieldCount, 20);
  EXPECT_EQ(r.Field(19), "F;F;F;F;F;F;F;F;F;F;F");
  EXPECT_EQ(r.Field(20), "");
}

TEST(DeviceResponse, FieldOutsideTheReplyIsEmpty) {
  DeviceResponse r;
  r.FieldCount = 1;
  r.Fields[0] = "a";
  r.Fields[1] = "stale";
  EXPECT_EQ(r.Field(0), "a");
  EXPECT_EQ(r.Field(1), "");
  EXPECT_EQ(r.Field(-1), "");
  EXPECT_EQ(r.Field(kMaxFields), "");
}

TEST(CodePage, PassThroughLeavesTextAlone) {
  std::string all;
  for (int i = 1; i < 256; ++i) all.push_back(static_cast<char>(i));
  EXPECT_EQ(TranslateOutgoing(all, true), all);
  EXPECT_EQ(TranslateIncoming(all, true), all);
}

TEST(CodePage, Tables) {
  // А (0xC0) .. я (0xFF) go out as 0x80..0xBF; Ё (0xA8) as 0x85, і (0xB3) as 'i'.
  EXPECT_EQ(TranslateOutgoing("\xC0\xFF\xA8\xB3\xBF" "A", false), "\x80\xBF\x85\x69\xC3" "A");
  // 0x80..0x9F come back as А..Я; Є and friends swap with 0xC0..0xC3.
  EXPECT_EQ(TranslateIncoming("\x80\x9F\xA0\xC0\xC3\xAA" "a", false), "\xC0\xDF\xA0\xAA\xBF\xC0" "a");
  EXPECT_EQ(kOutgoingCodePage[0x41], 0x41);
  EXPECT_EQ(kIncomingCodePage[0xE0], 0xE0);
}

}  // namespace
}  // namespace fjl::link
