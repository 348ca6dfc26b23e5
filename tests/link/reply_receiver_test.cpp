#include "link/reply_receiver.h"

#include <gtest/gtest.h>

#include <vector>

#include "link/fake_channel.h"  // tests/link

namespace fjl::link {
namespace {

using testing::Bytes;
using testing::ReplyFrame;

const std::string kExampleReply = Bytes({0x01, 0x34, 0x22, 0x42, 0x30, 0x30, 0x30, 0x30, 0x3B, 0x41, 0x42, 0x31, 0x32,
                                         0x04, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x05, 0x30, 0x35, 0x38, 0x32, 0x03});

// Feeds `bytes` and returns the state after each one.
std::vector<int> Feed(ReplyReceiver& rx, const std::string& bytes) {
  std::vector<int> states;
  for (char c : bytes) {
    rx.ReceiveByte(static_cast<std::uint8_t>(c));
    states.push_back(rx.State());
  }
  return states;
}

TEST(ReplyReceiver, AcceptsTheExampleReply) {
  ReplyReceiver rx;
  rx.BeginReply();
  Feed(rx, kExampleReply);
  EXPECT_TRUE(rx.Ended());
  EXPECT_TRUE(rx.FrameComplete());
  EXPECT_FALSE(rx.NakMark());
  EXPECT_EQ(rx.State(), 0);
  EXPECT_EQ(rx.ErrorCodeText(), "0000");
  EXPECT_EQ(rx.DataText(), "AB12");
  EXPECT_EQ(rx.DataLength(), 4);
  EXPECT_EQ(rx.ReplySeq(), 2);
  EXPECT_EQ(rx.ReplyCommand(), 0x42);
  for (std::uint8_t s : rx.StatusRaw()) EXPECT_EQ(s, 0x80);
  EXPECT_EQ(rx.Sum(), 0x582u);
  EXPECT_EQ(rx.BccValue(), 0x582u);
  EXPECT_EQ(rx.RawReply(), kExampleReply);
  EXPECT_EQ(rx.SynCount(), 0u);
}

TEST(ReplyReceiver, StatesOfAReplyWithoutData) {
  ReplyReceiver rx;
  const std::string frame = ReplyFrame(0x21, 0x21, "0000", "");
  ASSERT_EQ(static_cast<std::uint8_t>(frame[1]), 0x30);
  const std::vector<int> expected = {1, 2, 3, 4, 4, 4, 4, 4, 6, 7, 7, 7, 7, 7, 7, 8, 9, 9, 9, 9, 10, 0};
  EXPECT_EQ(Feed(rx, frame), expected);
  EXPECT_TRUE(rx.Ended());
  EXPECT_EQ(rx.DataText(), "");
  EXPECT_EQ(rx.Sum(), rx.BccValue());
}

TEST(ReplyReceiver, SynBeforeTheFrameIsCountedNotStored) {
  ReplyReceiver rx;
  rx.BeginReply();
  Feed(rx, "\x16\x16\x16" + kExampleReply);
  EXPECT_EQ(rx.SynCount(), 3u);
  EXPECT_EQ(rx.RawReply(), kExampleReply);
  EXPECT_TRUE(rx.FrameComplete());
}

TEST(ReplyReceiver, SynInsideAFrame) {
  // In the length state a SYN abandons the frame...
  ReplyReceiver rx;
  Feed(rx, "\x01\x16");
  EXPECT_EQ(rx.State(), 0);
  EXPECT_EQ(rx.SynCount(), 1u);
  // ...in the error code state it becomes part of the code (and stays out of the raw reply).
  Feed(rx, "\x01\x30\x21\x21" "00\x16" "0;");
  EXPECT_EQ(rx.ErrorCodeText(), "00\x16" "0");
  EXPECT_EQ(rx.RawReply(), "\x01\x01\x30\x21\x21" "000;");
}

TEST(ReplyReceiver, SohInTheDataRestartsTheFrame) {
  ReplyReceiver rx;
  rx.BeginReply();
  const std::string good = ReplyFrame(0x23, 0x42, "0000", "XY");
  Feed(rx, "\x01\x38\x21\x42" "0000;ABC" + good);
  EXPECT_TRUE(rx.FrameComplete());
  EXPECT_EQ(rx.DataText(), "XY");
  EXPECT_EQ(rx.ReplySeq(), 3);
  EXPECT_EQ(rx.Sum(), rx.BccValue());
}

TEST(ReplyReceiver, NakAloneEndsTheReply) {
  ReplyReceiver rx;
  rx.BeginReply();
  Feed(rx, "\x01\x34\x21");  // half a frame, then NAK
  rx.ReceiveByte(0x15);
  EXPECT_TRUE(rx.Ended());
  EXPECT_TRUE(rx.NakMark());
  EXPECT_EQ(rx.State(), 0);
}

TEST(ReplyReceiver, LoneEtxEndsTheReplyWithoutAFrame) {
  ReplyReceiver rx;
  rx.BeginReply();
  rx.ReceiveByte(0x03);
  EXPECT_TRUE(rx.Ended());
  EXPECT_FALSE(rx.FrameComplete());
  EXPECT_EQ(rx.State(), 0);
}

TEST(ReplyReceiver, EtxOutOfPlaceClearsTheNakMark) {
  ReplyReceiver rx;
  rx.BeginReply();
  Feed(rx, "\x15\x03");
  EXPECT_TRUE(rx.Ended());
  EXPECT_FALSE(rx.NakMark());
  EXPECT_FALSE(rx.FrameComplete());
}

TEST(ReplyReceiver, ChecksumCharacterQuestionMarkIsFifteen) {
  ReplyReceiver rx;
  Feed(rx, ReplyFrame(0x21, 0x21, "0000", "").substr(0, 17) + "???" "?");
  EXPECT_EQ(rx.BccValue(), 0xFFFFu);
  EXPECT_EQ(rx.State(), 10);
}

TEST(ReplyReceiver, MalformedFramesFallBackToWaiting) {
  struct Case {
    const char* what;
    std::string bytes;
  };
  const std::string ok = ReplyFrame(0x21, 0x21, "0000", "");
  const Case cases[] = {
      {"LEN below 0x30", "\x01\x2F"},
      {"SEQ below 0x20", "\x01\x30\x1F"},
      {"no separator", ok.substr(0, 9) + "X"},
      {"no postamble", ok.substr(0, 16) + "X"},
  };
  for (const Case& c : cases) {
    ReplyReceiver rx;
    Feed(rx, c.bytes);
    EXPECT_EQ(rx.State(), 0) << c.what;
    EXPECT_FALSE(rx.Ended()) << c.what;
  }
}

TEST(ReplyReceiver, StrayByteBeforeTheEtxSpoilsTheFrame) {
  ReplyReceiver rx;
  const std::string ok = ReplyFrame(0x21, 0x21, "0000", "");
  Feed(rx, ok.substr(0, ok.size() - 1) + "X\x03");
  EXPECT_TRUE(rx.Ended());
  EXPECT_FALSE(rx.FrameComplete());
}

TEST(ReplyReceiver, LongErrorCodeKeepsItsFirstNineteenCharacters) {
  ReplyReceiver rx;
  Feed(rx, "\x01\x30\x21\x21" + std::string(25, 'E') + ";");
  EXPECT_EQ(rx.ErrorCodeText(), std::string(19, 'E'));
  EXPECT_EQ(rx.State(), 6);
}

TEST(ReplyReceiver, LongReplyKeepsItsFirstRawBytes) {
  ReplyReceiver rx;
  rx.BeginReply();
  std::string noise;
  for (int i = 0; i < 400; ++i) noise.push_back(static_cast<char>('A' + i % 26));
  Feed(rx, noise);
  EXPECT_EQ(rx.RawReply(), noise.substr(0, 299));
  // The machine goes on: a frame after the noise is still taken.
  Feed(rx, kExampleReply);
  EXPECT_TRUE(rx.FrameComplete());
  EXPECT_EQ(rx.DataText(), "AB12");
  EXPECT_EQ(rx.RawReply().size(), 299u);
}

TEST(ReplyReceiver, LongestDataPart) {
  ReplyReceiver rx;
  const std::string data(207, 'D');
  Feed(rx, ReplyFrame(0x21, 0xF1, "0000", data));
  ASSERT_TRUE(rx.FrameComplete());
  EXPECT_EQ(rx.DataText(), data);
  EXPECT_EQ(rx.Sum(), rx.BccValue());
}

TEST(ReplyReceiver, BeginReplyForgetsTheLastReply) {
  ReplyReceiver rx;
  Feed(rx, "\x16" + kExampleReply);
  rx.BeginReply();
  EXPECT_FALSE(rx.Ended());
  EXPECT_FALSE(rx.FrameComplete());
  EXPECT_EQ(rx.SynCount(), 0u);
  EXPECT_EQ(rx.ErrorCodeText(), "");
  EXPECT_EQ(rx.DataText(), "");
  EXPECT_EQ(rx.RawReply(), "");
  for (std::uint8_t s : rx.StatusRaw()) EXPECT_EQ(s, 0);
}

TEST(ReplyReceiver, UnfinishedFrameIsDroppedAtTheNextSoh) {
  ReplyReceiver rx;
  Feed(rx, "\x01\x34\x21\x42" "0000;AB");  // stops in the data state
  ASSERT_EQ(rx.State(), 5);
  rx.BeginReply();
  Feed(rx, kExampleReply);
  EXPECT_TRUE(rx.FrameComplete());
  EXPECT_EQ(rx.DataText(), "AB12");
}

TEST(ReplyReceiver, ReadFailureAbandonsTheFrame) {
  ReplyReceiver rx;
  Feed(rx, "\x01\x34\x21");
  rx.ReadFailed();
  EXPECT_EQ(rx.State(), 0);
}

}  // namespace
}  // namespace fjl::link
