#include "cli/printer_search.h"

#include <gtest/gtest.h>

#include <vector>

#include "cli/cli_test_support.h"
#include "platform/system_result.h"
#include "port/port_discovery.h"
#include "sim/lib/frames.h"
#include "sim/lib/in_process_channel.h"
#include "sim/lib/pty_printer.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"
#include "support/pty_pair.h"

namespace fjl::cli {
namespace {

// A silent port comes first, then the printer, which runs at 19200 and
// hears only noise from a host at any other speed.
TEST(FindPrinter, AsksEachPortOnlyForTheSerialNumberUntilThePrinterAnswers) {
  test::PtyPair silent;
  sim::Simulator printer(sim::SamplePrinterModel());
  sim::PtyPrinter line(printer, sim::PtyPrinterOptions{.baud = 19200});
  link::DeviceLink link;
  const std::vector<std::string> ports{silent.SlavePath(), line.SlavePath()};
  const std::vector<std::int32_t> speeds{115200, 19200, 9600};
  std::vector<std::string> tried;

  const SearchResult search = FindPrinter(link, ports, speeds, "482913", [&](const std::string& port, std::int32_t speed) {
    tried.push_back((port == silent.SlavePath() ? "silent " : "printer ") + std::to_string(speed));
  });
  const std::optional<FoundPrinter>& found = search.found;
  EXPECT_EQ(search.ports_asked, 2u);
  EXPECT_TRUE(search.passed_over.empty());

  ASSERT_TRUE(found);
  EXPECT_EQ(found->port, line.SlavePath());
  EXPECT_EQ(found->speed, 19200);
  EXPECT_EQ(found->serial, "07104512");
  EXPECT_EQ(FoundPrinterText(*found, Catalogue::English()), line.SlavePath() + " / 19200, serial 07104512");
  EXPECT_EQ(tried, (std::vector<std::string>{"silent 115200", "silent 19200", "silent 9600", "printer 115200",
                                             "printer 19200"}));
  EXPECT_FALSE(link.IsOpen());
  // The silent port got three serial number reads and nothing else.
  sim::Bytes expected;
  for (std::uint8_t seq : {0x21, 0x22, 0x23}) {
    const sim::Bytes frame = sim::BuildRequestFrame(seq, 0x42, "482913;");
    expected.insert(expected.end(), frame.begin(), frame.end());
  }
  EXPECT_EQ(silent.DeviceRead(expected.size() + 1, std::chrono::milliseconds(200)), expected);
  // The printer made out one request: the one at its own speed.
  ASSERT_EQ(printer.Requests().size(), 1u);
  EXPECT_EQ(printer.Requests()[0].command, 0x42);
}

// A stop asked while the first port is tried ends the search there: the
// printer on the second port is never asked.
TEST(FindPrinter, AStopEndsTheSearchBeforeTheNextTry) {
  struct Flag final : StopSignal {
    bool StopRequested() const override { return raised; }
    bool raised = false;
  } stop;
  test::PtyPair silent;
  sim::Simulator printer(sim::SamplePrinterModel());
  sim::PtyPrinter line(printer);
  link::DeviceLink link;
  const std::vector<std::string> ports{silent.SlavePath(), line.SlavePath()};
  const std::vector<std::int32_t> speeds{9600};
  int tries = 0;
  EXPECT_FALSE(FindPrinter(link, ports, speeds, "482913", [&](const std::string&, std::int32_t) {
    ++tries;
    stop.raised = true;
  }, &stop).found);
  EXPECT_EQ(tries, 1);
  EXPECT_TRUE(printer.Requests().empty());
  EXPECT_FALSE(link.IsOpen());
}

// The console is passed over unasked, and so is every port that cannot be
// opened, busy or not; one line on standard error says which and why.
TEST(FindPrinter, PassesOverTheConsoleAndPortsThatCannotBeOpened) {
  struct Ports final : port::PortDeviceSource {
    std::optional<std::vector<port::PortDevice>> ListDevices() override {
      return std::vector<port::PortDevice>{{"/dev/ttyS0"}, {"/dev/ttyS1"}, {"/dev/ttyUSB0"}, {"/dev/ttyUSB1"}};
    }
    std::vector<std::string> ConsolePorts() override { return {"/dev/tty0", "/dev/ttyS0"}; }
  };
  const port::ScopedPortDiscovery discovery(std::make_shared<Ports>());
  sim::Simulator printer(sim::SamplePrinterModel());
  std::vector<std::string> opened;
  const serial::ChannelOpener opener = [&](const std::string& port, std::int32_t) -> serial::OpenedChannel {
    opened.push_back(port);
    if (port == "/dev/ttyUSB1") return sim::MakeInProcessChannel(printer);
    return platform::SystemResult::FromErrno(port == "/dev/ttyS1" ? EBUSY : EACCES);
  };
  const std::string denied = platform::SystemResult::FromErrno(EACCES).Text();
  const testing::CliResult r = testing::RunCliWith({"--find", "--port", "auto", "--speed", "9600"}, opener);
  EXPECT_EQ(r.out, "/dev/ttyUSB1 / 9600, serial 07104512\n");
  EXPECT_EQ(r.err, "passed over /dev/ttyS0 (the system console), /dev/ttyS1 (busy, another program has it open), "
                   "/dev/ttyUSB0 (" + denied + ")\n");
  EXPECT_EQ(opened, (std::vector<std::string>{"/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyUSB1"}));

  // Named on the command line, the console is asked like any port.
  EXPECT_EQ(testing::RunCliWith({"--find", "--port", "/dev/ttyS0", "--speed", "9600"}, opener).err,
            "passed over /dev/ttyS0 (" + denied + ")\nno printer answered on 0 port(s) at 1 speed(s)\n");
  EXPECT_EQ(opened.back(), "/dev/ttyS0");
}

}  // namespace
}  // namespace fjl::cli
