// The link when the far end goes away: the exchange ends at once as no
// reply, the next one opens the port again by its name, and a port the user
// disconnected stays closed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fault_harness.h"
#include "link/device_link.h"
#include "link/read_commands.h"
#include "serial/posix/serial_posix.h"
#include "sim/lib/fault_plan.h"

namespace fjl::e2e {
namespace {

using namespace std::chrono_literals;

// Opens the in-process printer, or fails while `unplugged`, and notes every attempt.
struct CountingOpener {
  explicit CountingOpener(sim::Simulator& simulator) : printer(simulator) {}
  sim::Simulator& printer;
  std::vector<std::string> attempts;
  bool unplugged = false;

  serial::ChannelOpener Opener() {
    return [this](const std::string& port, std::int32_t speed) -> std::unique_ptr<serial::SerialChannel> {
      attempts.push_back(port + "@" + std::to_string(speed));
      if (unplugged) return nullptr;
      return sim::MakeInProcessChannel(printer);
    };
  }
};

TEST(HangUp, OverAPseudoTerminalTheExchangeEndsAtOnce) {
  sim::Simulator printer(sim::SamplePrinterModel());
  printer.AddFault(sim::ParseFaultRule("hangup:limit=1"));
  PluggablePrinter plug(printer);
  link::DeviceLink link;
  ASSERT_GE(link.OpenLink(plug.Port(), 115200), 0);

  const auto start = Clock::now();
  const link::DeviceResponse& r = link::GetSerialNumber(link, "482913");
  EXPECT_LT(Clock::now() - start, 1s);
  EXPECT_EQ(r.Status, link::StatusNoReply | link::StatusLineGone);
  EXPECT_EQ(r.FieldCount, 0);
  EXPECT_TRUE(r.RawReply.empty());
}

TEST(HangUp, TheNextExchangeOpensThePortAgainByItsNameAndSpeed) {
  sim::Simulator printer(sim::SamplePrinterModel());
  printer.AddFault(sim::ParseFaultRule("hangup:limit=1"));
  CountingOpener opener(printer);
  link::DeviceLink link(opener.Opener());
  ASSERT_GE(link.OpenLink("/dev/ttyUSB0", 19200), 0);

  EXPECT_EQ(link::GetSerialNumber(link, "482913").Status, link::StatusNoReply | link::StatusLineGone);
  const link::DeviceResponse& again = link::GetSerialNumber(link, "482913");
  EXPECT_EQ(again.Status, 0u);
  EXPECT_EQ(again.Fields[0], "07104512");
  EXPECT_EQ(opener.attempts, (std::vector<std::string>{"/dev/ttyUSB0@19200", "/dev/ttyUSB0@19200"}));
  EXPECT_TRUE(link.IsOpen());
}

TEST(HangUp, AReplyBeforeTheHangUpStillCounts) {
  sim::Simulator printer(sim::SamplePrinterModel());
  printer.AddFault(sim::ParseFaultRule("hangup:after=1,limit=1"));
  CountingOpener opener(printer);
  link::DeviceLink link(opener.Opener());
  ASSERT_GE(link.OpenLink("/dev/ttyUSB0", 9600), 0);

  const link::DeviceResponse& r = link::GetSerialNumber(link, "482913");
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.Fields[0], "07104512");
  // The reply ended at its ETX; the hang-up is met by the next exchange.
  EXPECT_EQ(link::GetFiscalNumber(link, "482913").Status, link::StatusNoReply | link::StatusLineGone);
  EXPECT_EQ(link::GetFiscalNumber(link, "482913").Fields[0], "3600071045");
  EXPECT_EQ(opener.attempts.size(), 2u);
}

TEST(HangUp, WhileThePortCannotBeOpenedEveryExchangeEndsAtOnceAndTriesAgain) {
  sim::Simulator printer(sim::SamplePrinterModel());
  printer.AddFault(sim::ParseFaultRule("hangup:limit=1"));
  CountingOpener opener(printer);
  link::DeviceLink link(opener.Opener());
  ASSERT_GE(link.OpenLink("/dev/ttyUSB0", 9600), 0);
  EXPECT_TRUE(link::GetSerialNumber(link, "482913").NoReply());

  opener.unplugged = true;
  for (int i = 0; i < 3; ++i) {
    const auto start = Clock::now();
    EXPECT_TRUE(link::GetSerialNumber(link, "482913").NoReply());
    EXPECT_LT(Clock::now() - start, 100ms);
  }
  EXPECT_FALSE(link.IsOpen());
  EXPECT_EQ(opener.attempts.size(), 4u);

  opener.unplugged = false;
  EXPECT_EQ(link::GetSerialNumber(link, "482913").Status, 0u);
  EXPECT_EQ(opener.attempts.size(), 5u);
}

// Closed right after the hang-up, or after a reopening failed too: either
// way the port counts as closed and stays so.
TEST(HangUp, APortTheUserDisconnectedIsNotOpenedAgain) {
  for (const bool reopen_failed : {false, true}) {
    SCOPED_TRACE(reopen_failed ? "after a failed reopening" : "right after the hang-up");
    sim::Simulator printer(sim::SamplePrinterModel());
    printer.AddFault(sim::ParseFaultRule("hangup:limit=1"));
    CountingOpener opener(printer);
    link::DeviceLink link(opener.Opener());
    ASSERT_GE(link.OpenLink("/dev/ttyUSB0", 9600), 0);
    EXPECT_TRUE(link::GetSerialNumber(link, "482913").NoReply());
    opener.unplugged = reopen_failed;
    if (reopen_failed) {
      EXPECT_TRUE(link::GetSerialNumber(link, "482913").NoReply());
    }
    const std::size_t attempts = opener.attempts.size();

    EXPECT_EQ(link.CloseLink(), 1);
    opener.unplugged = false;
    EXPECT_TRUE(link::GetSerialNumber(link, "482913").NoReply());
    EXPECT_EQ(opener.attempts.size(), attempts);
    EXPECT_FALSE(link.IsOpen());
  }
}

}  // namespace
}  // namespace fjl::e2e
