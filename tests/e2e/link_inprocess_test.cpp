// DeviceLink against the simulated printer in the same process: every read
// command the restoration uses, a whole flash area read back chunk by chunk,
// and the faults whose waits the channel's own clock makes free.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "link/device_link.h"
#include "link/read_commands.h"
#include "sim/lib/in_process_channel.h"
#include "sim/lib/journal_builder.h"
#include "sim/lib/printer_commands.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"
#include "text/cp1251.h"

namespace fjl::sim {
namespace {

using namespace std::chrono_literals;

class LinkInProcess : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_GE(link.OpenLink("sim", 9600), 0); }

  void Fault(const char* rule_text) { sim.AddFault(ParseFaultRule(rule_text)); }
  const link::DeviceResponse& ReadSerial() { return link::GetSerialNumber(link, "482913"); }

  // Reads [base, base + size) with command 241, advancing by each reply's count.
  Bytes ReadFlash(std::uint32_t base, std::size_t size) {
    Bytes bytes;
    std::uint64_t address = base;
    while (bytes.size() < size) {
      const link::DeviceResponse& r = link.Exchange(0xF1, "482913;" + std::to_string(address) + ";");
      if (r.Status != 0 || r.FieldCount != 2) break;
      const std::size_t n = std::stoul(r.Fields[0]);
      for (std::size_t i = 0; i < n; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(r.Fields[1].substr(2 * i, 2), nullptr, 16)));
      }
      address += n;
    }
    return bytes;
  }

  Simulator sim{SamplePrinterModel()};
  link::DeviceLink link{InProcessOpener(sim)};
};

TEST_F(LinkInProcess, IdentityAndNames) {
  EXPECT_EQ(ReadSerial().Fields[0], "07104512");
  EXPECT_EQ(link::GetFiscalNumber(link, "482913").Fields[0], "3600071045");
  const link::DeviceResponse& tax_id = link::GetTaxIdNumber(link, "482913");
  EXPECT_EQ(tax_id.FieldCount, 2);
  EXPECT_EQ(tax_id.Fields[0], "1234567890");
  EXPECT_EQ(tax_id.Fields[1], "123456789012");
  const link::DeviceResponse& rate = link::GetTaxRate(link, "482913", 3);
  ASSERT_EQ(rate.FieldCount, 4);
  EXPECT_EQ(rate.Fields[0], "5");
  EXPECT_EQ(rate.Fields[1], "5.00");
  EXPECT_EQ(text::Cp1251ToUtf8(rate.Fields[2]), "Сбор 5%");
  EXPECT_EQ(rate.Fields[3], "0");
  EXPECT_EQ(text::Cp1251ToUtf8(link::GetOperatorParams(link, "482913", 1).Fields[1]), "Иванова А.");
  EXPECT_EQ(text::Cp1251ToUtf8(link::GetPaymentParams(link, "482913", 1).Fields[1]), "КАРТОЧКОЙ");
  EXPECT_EQ(text::Cp1251ToUtf8(link::GetDepartmentParams(link, "482913", 2).Fields[0]), "Молочный");
  EXPECT_EQ(link::GetOperatorParams(link, "482913", 77).ErrorCode, "0204");
  EXPECT_EQ(link::GetSerialNumber(link, "000000").ErrorCode, "0106");
}

TEST_F(LinkInProcess, WholeAreasReadBackByteForByte) {
  const SampleJournal journal = MakeSampleJournal();
  const Bytes tape = ReadFlash(kTapeFlashBase, journal.tape.size());
  ASSERT_GE(tape.size(), journal.tape.size());
  EXPECT_EQ(Bytes(tape.begin(), tape.begin() + static_cast<std::ptrdiff_t>(journal.tape.size())), journal.tape);
  sim.SetChunkSize(37);
  const Bytes aux = ReadFlash(kAuxFlashBase, journal.aux.size());
  ASSERT_GE(aux.size(), journal.aux.size());
  EXPECT_EQ(Bytes(aux.begin(), aux.begin() + static_cast<std::ptrdiff_t>(journal.aux.size())), journal.aux);
  EXPECT_EQ(aux.back(), 0xFF);  // past the image: erased flash
}

TEST_F(LinkInProcess, SilenceIsNoReply) {
  Fault("silence:limit=1");
  EXPECT_EQ(ReadSerial().Status, link::StatusNoReply);
  EXPECT_EQ(ReadSerial().Status, 0u);
}

TEST_F(LinkInProcess, HangUpIsNoReply) {
  Fault("hangup");
  const link::DeviceResponse& r = ReadSerial();
  EXPECT_EQ(r.Status, link::StatusNoReply | link::StatusLineGone);
  EXPECT_EQ(r.FieldCount, 0);
}

TEST_F(LinkInProcess, CutFrameWithEtxFailsItsChecksum) {
  Fault("cut:at=12,etx=1,limit=1");
  EXPECT_EQ(ReadSerial().Status, link::StatusBadChecksum);
}

TEST_F(LinkInProcess, CutFrameWithoutEtxIsNoReply) {
  Fault("cut:limit=1");
  EXPECT_EQ(ReadSerial().Status, link::StatusNoReply);
  EXPECT_EQ(ReadSerial().Status, 0u);
}

TEST_F(LinkInProcess, NoiseBeforeTheFrameIsIgnored) {
  Fault("garbage:count=30");
  const link::DeviceResponse& r = ReadSerial();
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.Fields[0], "07104512");
}

TEST_F(LinkInProcess, ShortBurstOfSynBeforeTheFrame) {
  Fault("syn-before:count=5");
  const link::DeviceResponse& r = ReadSerial();
  EXPECT_EQ(r.Status, 0u);
  EXPECT_EQ(r.Fields[0], "07104512");
}

TEST_F(LinkInProcess, MoreFieldsThanTheRecordHolds) {
  Fault("thirty-fields");
  const link::DeviceResponse& r = ReadSerial();
  EXPECT_EQ(r.Status, 0u);
  EXPECT_LE(r.FieldCount, link::kMaxFields);
  EXPECT_EQ(r.Fields[0], "1");
  EXPECT_EQ(r.Fields[19].substr(0, 2), "20");
}

TEST_F(LinkInProcess, PacedExchangeTakesItsWireTime) {
  InProcessChannel* channel = nullptr;
  link::DeviceLink paced{[&](const std::string&, std::int32_t) {
    auto made = std::make_unique<InProcessChannel>(sim, InProcessOptions{.baud = 9600});
    channel = made.get();
    return made;
  }};
  ASSERT_GE(paced.OpenLink("sim", 9600), 0);
  const link::DeviceResponse& r = paced.Exchange(0xF1, "482913;268458935;");
  ASSERT_EQ(r.Status, 0u);
  EXPECT_EQ(r.Fields[0], "100");
  // Request: 17 data bytes + 10 = 27. Reply: "100;" + 200 hex + ";" = 205
  // data bytes + 22 = 227. The link returns at the ETX, so on the channel's
  // clock the exchange took exactly the wire time of the two frames.
  EXPECT_EQ(channel->Now(), WireTime(27, 9600) + WireTime(227, 9600));
}

}  // namespace
}  // namespace fjl::sim
