#include "cli/printer_search.h"

#include <gtest/gtest.h>

#include <vector>

#include "sim/lib/frames.h"
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

  const auto found = FindPrinter(link, ports, speeds, "482913", [&](const std::string& port, std::int32_t speed) {
    tried.push_back((port == silent.SlavePath() ? "silent " : "printer ") + std::to_string(speed));
  });

  ASSERT_TRUE(found);
  EXPECT_EQ(found->port, line.SlavePath());
  EXPECT_EQ(found->speed, 19200);
  EXPECT_EQ(found->serial, "07104512");
  EXPECT_EQ(FoundPrinterText(*found), line.SlavePath() + " / 19200, serial 07104512");
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
  }, &stop));
  EXPECT_EQ(tries, 1);
  EXPECT_TRUE(printer.Requests().empty());
  EXPECT_FALSE(link.IsOpen());
}

TEST(FindPrinter, NoPrinterAnywhereFindsNothing) {
  link::DeviceLink link;
  const std::vector<std::string> ports{"/nonexistent/port"};
  const std::vector<std::int32_t> speeds{9600};
  EXPECT_FALSE(FindPrinter(link, ports, speeds, "482913"));
}

}  // namespace
}  // namespace fjl::cli
