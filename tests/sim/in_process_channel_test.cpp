#include "sim/lib/in_process_channel.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <chrono>

#include "sim/lib/journal_builder.h"

namespace fjl::sim {
namespace {

std::size_t Count(const serial::ReadResult& r) { return r ? *r : 0; }


using namespace std::chrono_literals;
using std::chrono::nanoseconds;

PrinterModel TinyPrinter() {
  PrinterModel model;
  model.password = "1";
  model.identity.serial_number = "S1";
  return model;
}

const Bytes kRequest = BuildRequestFrame(0x21, 0x42, "1;");
constexpr std::size_t kReplySize = 25;  // "0000;S1;" framed

// Reads until `want` bytes came or `limit` reads were made.
Bytes ReadSome(InProcessChannel& channel, std::size_t want, int limit = 200) {
  Bytes got;
  std::array<std::uint8_t, 64> buffer{};
  for (int i = 0; i < limit && got.size() < want; ++i) {
    const serial::ReadResult r = channel.Read(buffer);
    got.insert(got.end(), buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(Count(r)));
  }
  return got;
}

TEST(InProcessChannel, ReplyIsWaitingRightAfterTheWrite) {
  Simulator sim(TinyPrinter());
  InProcessChannel channel(sim);
  ASSERT_TRUE(channel.Write(kRequest));
  std::array<std::uint8_t, 64> buffer{};
  const serial::ReadResult r = channel.Read(buffer);
  EXPECT_EQ(Count(r), kReplySize);
  EXPECT_EQ(buffer[0], kSoh);
  EXPECT_EQ(buffer[kReplySize - 1], kEtx);
  EXPECT_EQ(channel.Now(), nanoseconds(0));
}

TEST(InProcessChannel, SmallBufferTakesTheRestNextTime) {
  Simulator sim(TinyPrinter());
  InProcessChannel channel(sim);
  channel.Write(kRequest);
  std::array<std::uint8_t, 10> small{};
  EXPECT_EQ(Count(channel.Read(small)), 10u);
  EXPECT_EQ(ReadSome(channel, 15).size(), 15u);
}

TEST(InProcessChannel, SilenceCostsVirtualTimeOnly) {
  Simulator sim(TinyPrinter());
  sim.AddFault(ParseFaultRule("silence"));
  InProcessChannel channel(sim);
  channel.Write(kRequest);
  const auto wall = std::chrono::steady_clock::now();
  std::array<std::uint8_t, 64> buffer{};
  for (int i = 0; i < 50; ++i) EXPECT_EQ(Count(channel.Read(buffer)), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - wall, 1s);
  EXPECT_EQ(channel.Now(), nanoseconds(5s));
  EXPECT_EQ(channel.EmptyReads(), 50u);
}

TEST(InProcessChannel, PacingGivesEveryByteItsWireTime) {
  Simulator sim(TinyPrinter());
  InProcessChannel channel(sim, InProcessOptions{.baud = 9600});
  channel.Write(kRequest);
  const Bytes reply = ReadSome(channel, kReplySize);
  ASSERT_EQ(reply.size(), kReplySize);
  // The request's 12 bytes reach the printer, then the reply's 25 go out:
  // 37 bytes of 10 bits at 9600 baud.
  EXPECT_EQ(channel.Now(), WireTime(12 + kReplySize, 9600));
  EXPECT_EQ(channel.EmptyReads(), 0u);
}

TEST(InProcessChannel, SynKeepAliveArrivesOnTime) {
  Simulator sim(TinyPrinter());
  sim.AddFault(ParseFaultRule("syn-before:count=3,gap=60"));
  InProcessChannel channel(sim);
  channel.Write(kRequest);
  std::array<std::uint8_t, 64> buffer{};
  for (int i = 1; i <= 3; ++i) {
    const serial::ReadResult r = channel.Read(buffer);
    ASSERT_EQ(Count(r), 1u);
    EXPECT_EQ(buffer[0], kSyn);
    EXPECT_EQ(channel.Now(), nanoseconds(60ms) * i);
  }
  EXPECT_EQ(Count(channel.Read(buffer)), kReplySize);
  EXPECT_EQ(channel.Now(), nanoseconds(240ms));
}

TEST(InProcessChannel, ALongPauseTakesEmptyReads) {
  Simulator sim(TinyPrinter());
  sim.AddFault(ParseFaultRule("delay:ms=250"));
  InProcessChannel channel(sim);
  channel.Write(kRequest);
  std::array<std::uint8_t, 64> buffer{};
  EXPECT_EQ(Count(channel.Read(buffer)), 0u);
  EXPECT_EQ(Count(channel.Read(buffer)), 0u);
  EXPECT_EQ(Count(channel.Read(buffer)), kReplySize);
  EXPECT_EQ(channel.Now(), nanoseconds(250ms));
}

TEST(InProcessChannel, PurgeDropsOnlyWhatHasArrived) {
  Simulator sim(TinyPrinter());
  InProcessChannel channel(sim, InProcessOptions{.baud = 9600});
  channel.Write(kRequest);
  std::array<std::uint8_t, 64> buffer{};
  ASSERT_EQ(Count(channel.Read(buffer)), 1u);  // waits for the first byte only
  channel.Purge(serial::PurgeDirection::Output);
  channel.Purge(serial::PurgeDirection::Input);  // nothing more had arrived yet
  EXPECT_EQ(ReadSome(channel, kReplySize - 1).size(), kReplySize - 1);

}

TEST(InProcessChannel, PurgeDropsAReplyThatHasArrived) {
  Simulator sim(TinyPrinter());
  InProcessChannel channel(sim);
  channel.Write(kRequest);
  channel.Purge(serial::PurgeDirection::Both);
  std::array<std::uint8_t, 64> buffer{};
  EXPECT_EQ(Count(channel.Read(buffer)), 0u);
}

TEST(InProcessChannel, HangUpIsReportedAfterTheBytesBeforeIt) {
  Simulator sim(TinyPrinter());
  sim.AddFault(ParseFaultRule("hangup:after=1"));
  InProcessChannel channel(sim);
  channel.Write(kRequest);
  std::array<std::uint8_t, 64> buffer{};
  EXPECT_EQ(Count(channel.Read(buffer)), kReplySize);
  const serial::ReadResult r = channel.Read(buffer);
  EXPECT_EQ(Count(r), 0u);
  EXPECT_TRUE(r.Failure().Gone());
  EXPECT_TRUE(channel.Read(buffer).Failure().Gone());
  EXPECT_FALSE(channel.Write(kRequest));
}

TEST(InProcessChannel, ClosedChannelFailsQuietly) {
  Simulator sim(TinyPrinter());
  InProcessChannel channel(sim);
  EXPECT_EQ(channel.Handle(), 3);
  EXPECT_TRUE(channel.Close());
  EXPECT_FALSE(channel.Close());
  EXPECT_EQ(channel.Handle(), -1);
  EXPECT_FALSE(channel.Write(kRequest));
  std::array<std::uint8_t, 8> buffer{};
  const serial::ReadResult r = channel.Read(buffer);
  EXPECT_EQ(Count(r), 0u);
  EXPECT_FALSE(r.Ok());
  EXPECT_FALSE(r.Failure().Gone());
}

TEST(InProcessChannel, RealTimeSleepsForTheWait) {
  Simulator sim(TinyPrinter());
  InProcessChannel channel(sim, InProcessOptions{.real_time = true});
  std::array<std::uint8_t, 8> buffer{};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Count(channel.Read(buffer)), 0u);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_GE(took, 95ms);
  EXPECT_LT(took, 400ms);
}

TEST(InProcessChannel, OpenerGivesEveryPortTheSamePrinter) {
  Simulator sim(TinyPrinter());
  serial::ChannelOpener open = InProcessOpener(sim);
  std::unique_ptr<serial::SerialChannel> a = open("/dev/ttyS0", 9600).Value();
  ASSERT_NE(a, nullptr);
  a->Write(kRequest);
  std::array<std::uint8_t, 64> buffer{};
  EXPECT_EQ(Count(a->Read(buffer)), kReplySize);
  EXPECT_EQ(sim.Requests().size(), 1u);
}

}  // namespace
}  // namespace fjl::sim
