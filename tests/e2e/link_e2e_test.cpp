// DeviceLink over the real POSIX serial channel, on a pseudo-terminal whose
// master end is the simulated printer.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <thread>

#include "link/device_link.h"
#include "link/read_commands.h"
#include "sim/lib/journal_builder.h"
#include "sim/lib/printer_commands.h"
#include "sim/lib/pty_printer.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"

namespace fjl::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

class LinkOverPty : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_GE(link.OpenLink(printer.SlavePath(), 115200), 0) << printer.SlavePath(); }
  void TearDown() override { link.CloseLink(); }

  const link::DeviceResponse& ReadSerial() { return link::GetSerialNumber(link, "482913"); }
  void Fault(const char* rule_text) { sim.AddFault(ParseFaultRule(rule_text)); }

  Simulator sim{SamplePrinterModel()};
  PtyPrinter printer{sim};
  link::DeviceLink link;
};

TEST_F(LinkOverPty, GoodReply) {
  const link::DeviceResponse& r = ReadSerial();
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.ErrorCode, "0000");
  EXPECT_EQ(r.FieldCount, 1);
  EXPECT_EQ(r.Fields[0], "07104512");
  EXPECT_EQ(r.StatusBytes, (std::array<std::uint8_t, 6>{}));
}

TEST_F(LinkOverPty, FlashChunkArrivesWhole) {
  const link::DeviceResponse& r = link.Exchange(0xF1, "482913;268458935;");
  ASSERT_EQ(r.Status, 0u);
  ASSERT_EQ(r.FieldCount, 2);
  EXPECT_EQ(r.Fields[0], "100");
  const Bytes tape = MakeSampleJournal().tape;
  EXPECT_EQ(r.Fields[1], HexText(Bytes(tape.begin(), tape.begin() + 100)));
}

// Over a real line the wait works the same at any length; a one-second
// time-out keeps these tests quick (the five-second default is counted in
// empty reads on a fake line in device_link_test).
TEST_F(LinkOverPty, SilenceEndsWithNoReplyAfterTheTimeOut) {
  link.SetReplyTimeout(1s);
  Fault("silence:limit=1");
  const auto start = Clock::now();
  const link::DeviceResponse& r = ReadSerial();
  EXPECT_GE(Clock::now() - start, 1s);
  EXPECT_EQ(r.Status, link::StatusNoReply);
  EXPECT_EQ(r.FieldCount, 0);
  // The printer answers again: the link is not left out of step.
  const link::DeviceResponse& next = ReadSerial();
  EXPECT_EQ(next.Status, 0u);
  EXPECT_EQ(next.Fields[0], "07104512");
}

TEST_F(LinkOverPty, Nak) {
  Fault("nak:limit=1");
  const auto start = Clock::now();
  EXPECT_EQ(ReadSerial().Status, link::StatusNak);
  EXPECT_LT(Clock::now() - start, 1s);
  EXPECT_EQ(ReadSerial().Status, 0u);
}

TEST_F(LinkOverPty, WrongChecksum) {
  Fault("bad-checksum:limit=1");
  EXPECT_EQ(ReadSerial().Status, link::StatusBadChecksum);
  EXPECT_EQ(ReadSerial().Status, 0u);
}

TEST_F(LinkOverPty, SynKeepAliveHoldsTheWaitPastTheTimeOut) {
  link.SetReplyTimeout(1s);
  // 15 SYN bytes 90 ms apart: 1.35 s of a printer saying "still working".
  Fault("syn-before:count=15,gap=90,limit=1");
  const auto start = Clock::now();
  const link::DeviceResponse& r = ReadSerial();
  EXPECT_GE(Clock::now() - start, 1350ms);
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.Fields[0], "07104512");
  EXPECT_EQ(r.RawReply.find('\x16'), std::string::npos);
}

TEST_F(LinkOverPty, PrinterErrorCodeComesThrough) {
  Fault("error:code=0106,limit=1");
  const link::DeviceResponse& r = ReadSerial();
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.ErrorCode, "0106");
  EXPECT_EQ(r.FieldCount, 0);
}

// Another program reading the same port (a forgotten `cat /dev/ttyX`) takes
// bytes between our poll() and our read(). A blocking read would then wait
// for a byte that never comes; every exchange must still end.
TEST_F(LinkOverPty, ASecondReaderOnThePortNeverHangsTheLink) {
  link.SetReplyTimeout(1s);
  const int thief = ::open(printer.SlavePath().c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (thief < 0) GTEST_SKIP() << "the port refuses a second opener here (not root)";
  std::atomic<bool> stop{false};
  std::thread reader([&] {
    while (!stop) {
      pollfd watch{thief, POLLIN, 0};
      if (::poll(&watch, 1, 20) > 0) {
        char byte;
        (void)!::read(thief, &byte, 1);
      }
    }
  });
  auto exchanges = std::async(std::launch::async, [&] {
    for (int i = 0; i < 3; ++i) ReadSerial();
  });
  // Three exchanges end within seconds whatever is stolen; a hang is a read
  // that never returns, so give it far longer before calling it one.
  const bool ended = exchanges.wait_for(90s) == std::future_status::ready;
  stop = true;
  reader.join();
  ::close(thief);
  if (!ended) {
    ADD_FAILURE() << "an exchange never returned";
    std::_Exit(1);  // the blocked thread cannot be joined
  }
}

}  // namespace
}  // namespace fjl::sim
