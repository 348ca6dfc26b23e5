// A long session against the simulated printer with faults mixed in: no
// descriptor is left behind (the memory side is LeakSanitizer's, in the
// sanitizer build, and valgrind's by hand), every exchange ends the way its
// fault says, and the sequence byte follows 0x20 + counter mod 95 through
// every wrap of the 8-bit counter from 255 to 0.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "fault_harness.h"
#include "link/device_link.h"
#include "link/read_commands.h"
#include "sim/lib/fault_plan.h"

namespace fjl::e2e {
namespace {

constexpr int kExchanges = 1000;

// The sequence byte of the n-th exchange of a link (1-based): the counter is
// incremented before each frame and wraps from 255 to 0.
std::uint8_t SeqOf(int n) { return static_cast<std::uint8_t>(0x20 + (n % 256) % 95); }

TEST(SequenceByte, WorkedValues) {
  EXPECT_EQ(SeqOf(1), 0x21);
  EXPECT_EQ(SeqOf(94), 0x7E);
  EXPECT_EQ(SeqOf(95), 0x20);
  EXPECT_EQ(SeqOf(255), 0x61);
  EXPECT_EQ(SeqOf(256), 0x20);
  EXPECT_EQ(SeqOf(257), 0x21);
}

// Which fault the n-th request meets, by the rules below; the simulator
// counts every request against every rule, and a hang-up or a NAK takes the
// place of the reply.
std::uint32_t ExpectedStatus(int n) {
  if (n % 250 == 0) return link::StatusNoReply | link::StatusLineGone;
  if (n % 7 == 0) return link::StatusNak;
  if (n % 11 == 0 || n % 17 == 0) return link::StatusBadChecksum;
  return 0;
}

TEST(Endurance, ThousandExchangesOverAPseudoTerminalLeaveNoDescriptorBehind) {
  const std::size_t descriptors_before = OpenDescriptors();
  {
    sim::Simulator printer(sim::SamplePrinterModel());
    for (const char* rule_text : {"nak:every=7", "bad-checksum:every=11", "cut:every=17,etx=1", "error:every=19,code=0204",
                             "garbage:every=5,count=40", "garbage:every=6,count=40,after=1",
                             "syn-before:every=13,count=100", "hangup:every=250"}) {
      printer.AddFault(sim::ParseFaultRule(rule_text));
    }
    PluggablePrinter plug(printer);
    link::DeviceLink link;
    ASSERT_GE(link.OpenLink(plug.Port(), 115200), 0);

    std::size_t descriptors_steady = 0;
    int replugs = 0;
    int good = 0;
    for (int n = 1; n <= kExchanges; ++n) {
      const bool flash = n % 2 == 0;
      const link::DeviceResponse& r =
          flash ? link.Exchange(link::kCmdFlashRead, "482913;268458935;") : link::GetSerialNumber(link, "482913");
      const std::uint32_t want = ExpectedStatus(n);
      ASSERT_EQ(r.Status, want) << "exchange " << n;
      if (want == 0) {
        const std::string code = n % 19 == 0 ? "0204" : "0000";
        ASSERT_EQ(r.ErrorCode, code) << "exchange " << n;
        if (code == "0000") {
          ASSERT_EQ(r.Fields[0], flash ? "100" : "07104512") << "exchange " << n;
          ++good;
        }
      }
      if (!plug.Serving()) {
        plug.Plug();
        ++replugs;
      }
      // Now and then the user disconnects and connects again.
      if (n % 100 == 50) {
        ASSERT_EQ(link.CloseLink(), 1);
        ASSERT_GE(link.OpenLink(plug.Port(), 115200), 0);
      }
      if (n == 10) descriptors_steady = OpenDescriptors();
    }
    EXPECT_EQ(OpenDescriptors(), descriptors_steady);
    EXPECT_EQ(replugs, kExchanges / 250);
    EXPECT_GT(good, kExchanges / 2);

    // Every request reached the printer, with the sequence byte of its place.
    const std::vector<sim::Request> requests = printer.Requests();
    ASSERT_EQ(requests.size(), static_cast<std::size_t>(kExchanges));
    for (int n = 1; n <= kExchanges; ++n) {
      ASSERT_EQ(requests[static_cast<std::size_t>(n - 1)].seq, SeqOf(n)) << "exchange " << n;
    }
    EXPECT_EQ(requests[254].seq, 0x61);  // counter 255
    EXPECT_EQ(requests[255].seq, 0x20);  // counter 0 after the wrap
    link.CloseLink();
  }
  EXPECT_EQ(OpenDescriptors(), descriptors_before);
}

// The wizard's three steps and the save, round after round on the in-process
// channel (silence and half frames cost no wall time there), each step tried
// again until it succeeds, as the user would.
TEST(Endurance, WizardRoundsWithFaultsInProcess) {
  Scratch scratch;
  const std::size_t descriptors_before = OpenDescriptors();
  sim::Simulator printer(sim::SamplePrinterModel());
  for (const char* rule_text : {"silence:every=97", "nak:every=61", "bad-checksum:every=71", "cut:every=89",
                           "garbage:every=5,count=30", "syn-before:every=13,count=20,gap=60", "hangup:every=151",
                           "error:every=113,code=0106"}) {
    printer.AddFault(sim::ParseFaultRule(rule_text));
  }
  InProcessLink line(printer);

  int rounds = 0;
  int failures = 0;
  while (printer.Requests().size() < static_cast<std::size_t>(kExchanges)) {
    Wizard w(line.link);
    const auto until_done = [&failures](auto step) {
      for (int attempt = 0; attempt < 30; ++attempt) {
        if (step()) return true;
        ++failures;
      }
      return false;
    };
    ASSERT_TRUE(until_done([&] { return w.ReadTape() == tape::DownloadOutcome::Success; }));
    ASSERT_TRUE(until_done([&] { return w.ReadAux() == tape::DownloadOutcome::Success; }));
    ASSERT_TRUE(until_done([&] { return w.Restore() == restore::RestoreOutcome::Completed; }))
        << ::testing::PrintToString(w.step3.shown);
    const std::string path = scratch / ("round" + std::to_string(rounds) + ".FJL");
    ASSERT_TRUE(w.Save(path).Ok());
    ASSERT_EQ(ReadFile(path), output::FjlFileBytes(w.box.lines));
    ASSERT_EQ(w.box.lines.back(), " ");
    ++rounds;
  }
  EXPECT_GT(failures, 0);
  EXPECT_GT(rounds, 10);

  const std::vector<sim::Request> requests = printer.Requests();
  for (std::size_t i = 0; i < requests.size(); ++i) {
    ASSERT_EQ(requests[i].seq, SeqOf(static_cast<int>(i + 1))) << "exchange " << i + 1;
  }
  line.link.CloseLink();
  EXPECT_EQ(OpenDescriptors(), descriptors_before);
}

}  // namespace
}  // namespace fjl::e2e
