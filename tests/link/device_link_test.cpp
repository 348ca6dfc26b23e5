#include "link/device_link.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "link/request_frame.h"
#include "link/fake_channel.h"  // tests/link

namespace fjl::link {
namespace {

using testing::Bytes;
using testing::FakeLine;
using testing::FakeOpener;
using testing::ReplyFrame;

// The reply of the receiver's worked example: "0000", data AB12, six 0x80.
// The first exchange's reply (SEQ 0x21, command 0x21): the link takes only
// a frame that echoes both.
const std::string kFirstReply = ReplyFrame(0x21, 0x21, "0000", "AB12");
const std::string kExampleReply = Bytes({0x01, 0x34, 0x22, 0x42, 0x30, 0x30, 0x30, 0x30, 0x3B, 0x41, 0x42, 0x31, 0x32,
                                         0x04, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x05, 0x30, 0x35, 0x38, 0x32, 0x03});

class DeviceLinkTest : public ::testing::Test {
 protected:
  FakeOpener opener;
  DeviceLink link{opener.Opener()};
  testing::FakeLine& line = *opener.line;

  void SetUp() override {
    link.SetMonotonicClock([l = opener.line] { return l->now; });
    ASSERT_EQ(link.OpenLink("/dev/ttyS0", 9600), 3);
  }
  // Runs `count` silent exchanges (no reply scripted).
  void RunSilent(int count) {
    for (int i = 0; i < count; ++i) link.Exchange(0x21, "");
  }
  std::uint8_t LastSeq() const { return static_cast<std::uint8_t>(line.writes.back().at(2)); }
};

TEST_F(DeviceLinkTest, FirstFrameMatchesTheWorkedExample) {
  line.Reply(kFirstReply);
  const DeviceResponse& r = link.Exchange(0x21, "");
  ASSERT_EQ(line.writes.size(), 1u);
  EXPECT_EQ(line.writes[0], Bytes({0x01, 0x24, 0x21, 0x21, 0x05, 0x30, 0x30, 0x36, 0x3B, 0x03}));
  EXPECT_EQ(r.SentFrame, line.writes[0]);
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.ErrorCode, "0000");
  ASSERT_EQ(r.FieldCount, 1);
  EXPECT_EQ(r.Fields[0], "AB12");
  EXPECT_EQ(r.Command, 0x21);
  EXPECT_EQ(r.CommandName, "Команда 21h: Чтение даты и времени");
  EXPECT_EQ(r.RawReply, kFirstReply);
}

TEST_F(DeviceLinkTest, SecondFrameMatchesTheWorkedExample) {
  RunSilent(1);
  link.Exchange(0x42, "1;");
  EXPECT_EQ(line.writes.back(), Bytes({0x01, 0x26, 0x22, 0x42, 0x31, 0x3B, 0x05, 0x30, 0x30, 0x3F, 0x3B, 0x03}));
}

TEST_F(DeviceLinkTest, SequenceByteProgression) {
  RunSilent(1);
  EXPECT_EQ(LastSeq(), 0x21);
  RunSilent(93);  // 94th
  EXPECT_EQ(LastSeq(), 0x7E);
  RunSilent(1);  // 95th: 95 mod 95 = 0
  EXPECT_EQ(LastSeq(), 0x20);
  RunSilent(160);  // 255th: 255 mod 95 = 65
  EXPECT_EQ(LastSeq(), 0x61);
  RunSilent(1);  // 256th: the counter wraps to 0
  EXPECT_EQ(LastSeq(), 0x20);
  RunSilent(1);
  EXPECT_EQ(LastSeq(), 0x21);
}

TEST_F(DeviceLinkTest, SequenceCounterSurvivesReopening) {
  RunSilent(3);
  ASSERT_NE(link.CloseLink(), 0);
  ASSERT_GE(link.OpenLink("/dev/ttyS0", 9600), 0);
  RunSilent(1);
  EXPECT_EQ(LastSeq(), 0x24);
}

TEST_F(DeviceLinkTest, SilenceEndsAfterFiftyEmptyReads) {
  line.events.clear();
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_EQ(line.empty_reads, kEmptyReadLimit);
  EXPECT_EQ(r.Status, StatusNoReply);
  EXPECT_EQ(r.FieldCount, 0);
  EXPECT_EQ(r.ErrorCode, "");
  // Stale bytes are flushed and purged away before the one write.
  EXPECT_EQ(line.events, (std::vector<std::string>{"drain", "purge", "write"}));
}

TEST_F(DeviceLinkTest, BytesResetTheEmptyReadCount) {
  // 49 empty reads, a SYN, 49 more, then the reply: still answered.
  for (int i = 0; i < 49; ++i) line.reads.push_back({});
  line.Reply("\x16");
  for (int i = 0; i < 49; ++i) line.reads.push_back({});
  line.Reply(kFirstReply);
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.Fields[0], "AB12");
}

TEST_F(DeviceLinkTest, FiftyEmptyReadsAfterTheLastByteGiveUp) {
  line.Reply("\x16");
  for (int i = 0; i < 50; ++i) line.reads.push_back({});
  line.Reply(kFirstReply);  // too late
  EXPECT_EQ(link.Exchange(0x21, "").Status, StatusNoReply);
  EXPECT_EQ(line.empty_reads, 50);
}

TEST_F(DeviceLinkTest, ReturnsAtTheEtxWithoutAnotherRead) {
  line.Reply(kFirstReply.substr(0, 10));
  line.reads.push_back({});
  line.Reply(kFirstReply.substr(10));
  link.Exchange(0x21, "");
  EXPECT_EQ(line.read_calls, 3);
}

// The hook runs once a request is out and before any of its reply is read;
// a request refused before sending (too long) calls nothing. A reply heard
// is remembered until the port is opened again; silence is no reply.
TEST_F(DeviceLinkTest, TheWaitHookRunsBetweenSendingAndReading) {
  std::vector<std::pair<std::size_t, int>> seen;  // writes, reads at each call
  link.SetWhileAwaitingReply([&] { seen.emplace_back(line.writes.size(), line.read_calls); });
  EXPECT_FALSE(link.HeardSinceOpen());
  line.Reply(kFirstReply);
  link.Exchange(0x21, "");
  EXPECT_TRUE(link.HeardSinceOpen());
  link.Exchange(0x21, std::string(kMaxFrameData + 1, 'x'));
  EXPECT_EQ(seen, (std::vector<std::pair<std::size_t, int>>{{1, 0}}));
  ASSERT_NE(link.OpenLink("/dev/ttyS0", 9600), -1);
  EXPECT_FALSE(link.HeardSinceOpen());
  RunSilent(1);
  EXPECT_FALSE(link.HeardSinceOpen());
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(DeviceLinkTest, NakEndsTheReplyAtOnce) {
  line.Reply("\x15");
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_EQ(r.Status, StatusNak);
  EXPECT_EQ(line.read_calls, 1);
}

TEST_F(DeviceLinkTest, SynOnlyWaitEndsAfterTheCap) {
  line.repeat = "\x16";
  line.read_step = std::chrono::milliseconds(50);
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_EQ(r.Status, StatusNoReply);
  // 60 s of SYN every 50 ms: 1200 reads, no more.
  EXPECT_EQ(line.read_calls, 1200);
  EXPECT_EQ(line.empty_reads, 0);
}

TEST_F(DeviceLinkTest, SynBeforeARealReplyIsCountedAndDropped) {
  line.Reply("\x16\x16\x16" + kFirstReply);
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.RawReply, kFirstReply);
}

TEST_F(DeviceLinkTest, ReadErrorAbandonsTheFrameInProgress) {
  line.Reply(kFirstReply.substr(0, 12));
  line.reads.push_back({"", 5});  // EIO
  line.Reply(kFirstReply.substr(12));
  const DeviceResponse& r = link.Exchange(0x21, "");
  // The tail alone ends on its ETX, without a frame: not a good reply.
  EXPECT_EQ(r.Status, StatusBadChecksum);
}

TEST_F(DeviceLinkTest, ReplyInManySmallReads) {
  for (char c : kFirstReply) line.Reply(std::string(1, c));
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.Fields[0], "AB12");
}

TEST_F(DeviceLinkTest, EmptyDataPartClearsTheFieldsOfTheLastReply) {
  line.Reply(ReplyFrame(0x21, 0x46, "0000", "12;34;"));
  ASSERT_EQ(link.Exchange(0x46, "1;").FieldCount, 2);
  line.Reply(ReplyFrame(0x22, 0x21, "0000", ""));
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.FieldCount, 0);
  EXPECT_EQ(r.Fields[0], "");
  EXPECT_EQ(r.Fields[1], "");
  EXPECT_EQ(r.Field(0), "");
}

TEST_F(DeviceLinkTest, NoReplyAfterAGoodReplyKeepsNothingOfIt) {
  line.Reply(ReplyFrame(0x21, 0x46, "0000", "12;34;"));
  link.Exchange(0x46, "1;");
  const DeviceResponse& r = link.Exchange(0x46, "1;");
  EXPECT_EQ(r.Status, StatusNoReply);
  EXPECT_EQ(r.ErrorCode, "");
  EXPECT_EQ(r.FieldCount, 0);
  EXPECT_EQ(r.Fields[0], "");
  EXPECT_EQ(r.RawReply, "");
  EXPECT_EQ(r.ReplyData, "");
}

TEST_F(DeviceLinkTest, LongestDataTextFillsLen) {
  const std::string data(kMaxFrameData, 'A');
  link.Exchange(0xF1, data);
  ASSERT_EQ(line.writes.size(), 1u);
  EXPECT_EQ(static_cast<std::uint8_t>(line.writes[0][1]), 0xFF);
  EXPECT_EQ(line.writes[0].size(), kMaxFrameData + 10);
}

TEST_F(DeviceLinkTest, DataTextTooLongForOneFrameIsNotSent) {
  line.Reply(kFirstReply);
  link.Exchange(0x21, "");  // a good reply first: none of it may survive
  const std::string data(kMaxFrameData + 1, 'A');
  const DeviceResponse& r = link.Exchange(0xF1, data);
  EXPECT_EQ(line.writes.size(), 1u);
  EXPECT_EQ(r.Status, StatusNoReply | StatusNotSent);
  EXPECT_TRUE(r.NoReply());
  EXPECT_EQ(r.Command, 0xF1);
  EXPECT_EQ(r.SentData, data);
  EXPECT_EQ(r.SentFrame, "");
  EXPECT_EQ(r.FieldCount, 0);
  EXPECT_EQ(r.Fields[0], "");
  EXPECT_EQ(r.ErrorCode, "");
  EXPECT_EQ(r.RawReply, "");
  // Nothing went out, so the sequence counter did not move.
  RunSilent(1);
  EXPECT_EQ(LastSeq(), 0x22);
}

TEST_F(DeviceLinkTest, CommandOutsideOneByteIsNotSent) {
  for (int command : {-1, 0x100}) {
    const DeviceResponse& r = link.Exchange(command, "");
    EXPECT_EQ(r.Status, StatusNoReply | StatusNotSent);
  }
  EXPECT_TRUE(line.writes.empty());
}

TEST_F(DeviceLinkTest, OpenPurgesAndCloseDrainsAndPurges) {
  EXPECT_EQ(line.events, (std::vector<std::string>{"purge"}));
  EXPECT_TRUE(link.IsOpen());
  line.events.clear();
  EXPECT_EQ(link.CloseLink(), 1);
  EXPECT_EQ(line.events, (std::vector<std::string>{"drain", "purge", "close"}));
  EXPECT_FALSE(link.IsOpen());
}

TEST_F(DeviceLinkTest, SecondOpenClosesTheFirstPort) {
  line.events.clear();
  EXPECT_EQ(link.OpenLink("/dev/ttyUSB0", 115200), 4);
  EXPECT_EQ(line.events, (std::vector<std::string>{"drain", "purge", "close", "purge"}));
  EXPECT_EQ(*opener.opened, (std::vector<std::string>{"/dev/ttyS0@9600", "/dev/ttyUSB0@115200"}));
  EXPECT_TRUE(link.IsOpen());
}

// The descriptor is released whatever close() answers: a link that kept
// it would fail every later close and exchange.
TEST_F(DeviceLinkTest, FailedCloseAnswersZeroAndForgetsThePort) {
  line.close_fails = true;
  EXPECT_EQ(link.CloseLink(), 0);
  EXPECT_FALSE(link.IsOpen());
  line.events.clear();
  EXPECT_EQ(link.Exchange(0x21, "").Status, StatusNoReply);
  EXPECT_TRUE(line.events.empty());
  EXPECT_EQ(link.CloseLink(), 0) << "nothing left to close";
}

TEST_F(DeviceLinkTest, ExchangeAfterCloseEndsAsNoReplyWithoutReading) {
  ASSERT_EQ(link.CloseLink(), 1);
  const int reads = line.read_calls;
  EXPECT_EQ(link.Exchange(0x21, "").Status, StatusNoReply);
  EXPECT_EQ(line.read_calls, reads);
}

TEST_F(DeviceLinkTest, RefusedWriteEndsAtOnceWithTheSystemsReason) {
  line.write_result = SystemResult(EACCES);
  // The reply to the second request (SEQ 0x22): read only if the first waited.
  line.Reply(ReplyFrame(0x22, 0x21, "0000", "AB12"));
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_EQ(r.Status & StatusNoReply, StatusNoReply);
  EXPECT_EQ(line.read_calls, 0) << "no reply can come to a request never sent";
  EXPECT_EQ(link.SendFailure().Code(), EACCES);
  EXPECT_FALSE(link.SendFailure().Text().empty());
  EXPECT_EQ(opener.opened->size(), 1u) << "an ordinary refusal does not reopen the port";

  line.write_result = SystemResult();
  link.Exchange(0x21, "");
  EXPECT_TRUE(link.SendFailure().Ok());
  EXPECT_EQ(r.Status, 0u);
}

// The request goes once more over the port opened again at once; refused
// there too, the exchange ends as a lost line, and the next one tries anew.
TEST_F(DeviceLinkTest, WriteToAVanishedDeviceReopensThePortAndSendsAgain) {
  line.write_result = SystemResult::DeviceGone(EIO);
  EXPECT_EQ(link.Exchange(0x21, "").Status, StatusNoReply | StatusLineGone);
  EXPECT_EQ(line.read_calls, 0);
  EXPECT_EQ(line.writes.size(), 2u);
  EXPECT_EQ(opener.opened->size(), 2u);
  line.write_result = SystemResult();
  line.Reply(ReplyFrame(0x22, 0x21, "0000", "AB12"));
  EXPECT_EQ(link.Exchange(0x21, "").Status, 0u);
  EXPECT_EQ(*opener.opened, (std::vector<std::string>(3, "/dev/ttyS0@9600")));
}

TEST_F(DeviceLinkTest, WorkedExampleAnswersTheSecondExchange) {
  RunSilent(1);
  line.Reply(kExampleReply);  // SEQ 0x22, command 0x42
  const DeviceResponse& r = link.Exchange(0x42, "1;");
  EXPECT_EQ(r.Status, 0u);
  ASSERT_EQ(r.FieldCount, 1);
  EXPECT_EQ(r.Fields[0], "AB12");
}

// The second exchange sends SEQ 0x22 with command 0x42. Frames of other
// requests come first; only the one that echoes both bytes may be taken.
TEST(DeviceLinkMatching, FramesOfOtherRequestsAreDropped) {
  const std::string stale = ReplyFrame(0x21, 0x21, "0000", "OLD;");
  const std::string other_seq = ReplyFrame(0x23, 0x42, "0000", "SEQ;");
  const std::string other_command = ReplyFrame(0x22, 0x43, "0000", "CMD;");
  const std::string right = ReplyFrame(0x22, 0x42, "0000", "NEW;");
  struct Case {
    const char* name;
    std::string before;     // what arrives ahead of (or instead of) the reply
    bool reply_follows;
  };
  const Case cases[] = {
      {"stale duplicate, then the reply", stale, true},
      {"another SEQ, then the reply", other_seq, true},
      {"another command, then the reply", other_command, true},
      {"all three in one read, then the reply", stale + other_seq + other_command, true},
      {"a stale frame alone", stale, false},
      {"another command alone", other_command, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeOpener opener;
    DeviceLink link(opener.Opener());
    FakeLine& line = *opener.line;
    link.SetMonotonicClock([l = opener.line] { return l->now; });
    ASSERT_GE(link.OpenLink("/dev/ttyS0", 9600), 0);
    link.Exchange(0x21, "");  // silent: SEQ 0x21 is used up
    const auto sent = line.now;
    line.Reply(c.before);
    if (c.reply_follows) line.Reply(right);
    const DeviceResponse& r = link.Exchange(0x42, "1;");
    if (c.reply_follows) {
      EXPECT_EQ(r.Status, 0u);
      ASSERT_EQ(r.FieldCount, 1);
      EXPECT_EQ(r.Fields[0], "NEW");
      EXPECT_EQ(r.RawReply, right);
    } else {
      EXPECT_EQ(r.Status, StatusNoReply);
      EXPECT_EQ(r.FieldCount, 0);
      EXPECT_EQ(r.ErrorCode, "");
      EXPECT_LE(line.now - sent, kReplyTimeout + std::chrono::milliseconds(100));
    }
  }
}

// A line that never falls silent still ends the wait at the time-out: noise,
// or the same stale frame over and over. Each read takes 10 ms of fake time.
TEST(DeviceLinkMatching, ALineThatNeverFallsSilentEndsAsNoReply) {
  for (const std::string& endless : {std::string("x"), ReplyFrame(0x7E, 0x21, "0000", "OLD;"),
                                     std::string("\x01\x40\x22")}) {
    SCOPED_TRACE(endless);
    FakeOpener opener;
    DeviceLink link(opener.Opener());
    FakeLine& line = *opener.line;
    link.SetMonotonicClock([l = opener.line] { return l->now; });
    ASSERT_GE(link.OpenLink("/dev/ttyS0", 9600), 0);
    line.repeat = endless;
    const auto sent = line.now;
    const DeviceResponse& r = link.Exchange(0x21, "");
    EXPECT_EQ(r.Status, StatusNoReply);
    EXPECT_GE(line.now - sent, kReplyTimeout);
    // A frame begun just in time may run on for the wire time of the
    // longest frame (300 bytes at 9600 baud: 312.5 ms) and one read, no more.
    EXPECT_LE(line.now - sent, kReplyTimeout + std::chrono::microseconds(312'500) + std::chrono::milliseconds(10));
    EXPECT_EQ(line.empty_reads, 0);
  }
}

// Frame-like noise from 390 ms on, 10 ms before the deadline, 10 ms a read:
// a frame begun in time may run on for the longest frame's wire time (300
// bytes of 10 bits), but a frame left for a new SOH leaves that grant behind.
TEST(DeviceLinkMatching, FrameLikeNoiseEndsAWaitWithinTheTimeOutAndOneFrame) {
  using std::chrono::milliseconds;
  const std::string head = "\x01\x40\x22\x42";  // SOH, LEN, SEQ, CMD: the error code never ends
  struct Case {
    std::vector<std::string> reads;  // one read each, then `repeat` for ever
    std::string repeat;
    milliseconds past_deadline;  // besides one frame's wire time when `whole_frame`
    bool whole_frame;
  };
  const Case cases[] = {{{}, head, milliseconds(10), false},
                        {{head, "x", "x", "x", "x", "x", "x", "x", "x", "x", "x"}, head, milliseconds(110), false},
                        {{head}, "x", milliseconds(10), true}};
  for (const std::int32_t speed : {110, 9600, 115200}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(speed) + " baud, case " + std::to_string(&c - cases));
      FakeOpener opener;
      DeviceLink link(opener.Opener());
      FakeLine& line = *opener.line;
      link.SetMonotonicClock([l = opener.line] { return l->now; });
      link.SetReplyTimeout(milliseconds(400));
      ASSERT_GE(link.OpenLink("/dev/ttyS0", speed), 0);
      line.reads.assign(3, {});                       // 300 ms of silence
      for (int i = 0; i < 8; ++i) line.Reply("y");    // 80 ms of bytes outside any frame
      for (const std::string& read : c.reads) line.Reply(read);
      line.repeat = c.repeat;
      EXPECT_EQ(link.Exchange(0x42, "482913;").Status, StatusNoReply);
      const auto frame = std::chrono::microseconds(c.whole_frame ? 300LL * 10 * 1'000'000 / speed : 0);
      EXPECT_GE(line.now.time_since_epoch(), milliseconds(400));
      EXPECT_LE(line.now.time_since_epoch(), milliseconds(400) + c.past_deadline + frame);
    }
  }
}

TEST_F(DeviceLinkTest, AReplyBegunBeforeTheDeadlineMayEndAfterIt) {
  for (int i = 0; i < 49; ++i) line.reads.push_back({});  // 4.9 s of silence
  for (char c : kFirstReply) line.Reply(std::string(1, c));  // then one byte every 10 ms
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.Fields[0], "AB12");
}

TEST_F(DeviceLinkTest, AReplyBegunAfterTheDeadlineIsNotWaitedFor) {
  line.repeat = "";
  for (int i = 0; i < 45; ++i) line.reads.push_back({});
  line.read_step = std::chrono::milliseconds(100);
  for (int i = 0; i < 6; ++i) line.Reply("x");  // noise past the five seconds
  line.Reply(kFirstReply);
  EXPECT_EQ(link.Exchange(0x21, "").Status, StatusNoReply);
}

TEST(DeviceLinkNoPort, ExchangeBeforeOpenSendsNothingAndKeepsTheRecord) {
  FakeOpener opener;
  DeviceLink link(opener.Opener());
  const DeviceResponse& r = link.Exchange(0x21, "");
  EXPECT_TRUE(opener.line->writes.empty());
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.Command, 0);
  EXPECT_EQ(r.SentFrame, "");
}

TEST(DeviceLinkNoPort, FailedOpenThenExchangeEndsAsNoReply) {
  FakeOpener opener;
  *opener.fail = true;
  DeviceLink link(opener.Opener());
  EXPECT_EQ(link.OpenLink("/dev/missing", 9600), -1);
  EXPECT_FALSE(link.IsOpen());
  const DeviceResponse& r = link.Exchange(0x42, "482913;");
  EXPECT_EQ(r.Status, StatusNoReply);
  EXPECT_EQ(r.Command, 0x42);
  EXPECT_EQ(link.CloseLink(), 0);
}

TEST(DeviceLinkNoPort, NoOpenerBehavesAsAFailedOpen) {
  DeviceLink link(serial::ChannelOpener{});
  EXPECT_EQ(link.OpenLink("/dev/ttyS0", 9600), -1);
  EXPECT_EQ(link.Exchange(0x21, "").Status, StatusNoReply);
}

}  // namespace
}  // namespace fjl::link
