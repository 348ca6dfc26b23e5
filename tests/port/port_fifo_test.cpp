#include <gtest/gtest.h>

#include "port/port_control.h"
#include "port/port_discovery.h"
#include "port_fakes.h"

namespace fjl::port {
namespace {

class KeySource : public PortDeviceSource {
 public:
  explicit KeySource(std::vector<PortDevice> devices) : devices_(std::move(devices)) {}
  std::optional<std::vector<PortDevice>> ListDevices() override { return devices_; }

 private:
  std::vector<PortDevice> devices_;
};

class PortFifo : public ::testing::Test {
 protected:
  PortFifo() : control_(testing::FakeOpener(std::make_shared<testing::FakePort>()), std::make_shared<testing::FakeScheduler>()) {
    TPortControl::SetDeviceSource(std::make_shared<KeySource>(std::vector<PortDevice>{
        PortDevice{"COM1", key_}, PortDevice{"COM2", nullptr}, PortDevice{"/dev/ttyS0", uart_}}));
    control_.Port = "COM1";
  }
  void OlderSettings(std::vector<std::uint8_t> bytes) {
    control_.SetSystemFamily(SystemFamily::Older);
    ASSERT_TRUE(key_->WriteBinary("settings", bytes));
  }
  std::vector<std::uint8_t> Settings() { return key_->ReadBinary("settings").value_or(std::vector<std::uint8_t>{}); }

  ScopedPortDiscovery discovery_;
  std::shared_ptr<MemoryDeviceKey> key_ = std::make_shared<MemoryDeviceKey>();
  std::shared_ptr<MemoryDeviceKey> uart_ = std::make_shared<MemoryDeviceKey>();
  TPortControl control_;
};

TEST_F(PortFifo, NtFamilySizesFollowTheDirectionRules) {
  struct Case {
    bool receive;
    std::uint32_t size;
    int result;
  };
  const Case cases[] = {
      {true, 1, 0},   {true, 4, 0},   {true, 8, 0},   {true, 14, 0},  {true, 16, -26}, {true, 2, -26},
      {true, 0, -26}, {false, 1, 0},  {false, 7, 0},  {false, 16, 0}, {false, 0, -26}, {false, 17, -26},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << (c.receive ? "receive " : "transmit ") << c.size);
    const auto before = key_->ReadNumber(c.receive ? "RxFIFO" : "TxFIFO");
    EXPECT_EQ(control_.SetFIFOSize(c.receive, c.size), c.result);
    if (c.result == 0) {
      EXPECT_EQ(key_->ReadNumber(c.receive ? "RxFIFO" : "TxFIFO"), c.size);
      EXPECT_EQ(control_.GetFIFOSize(c.receive), static_cast<int>(c.size));
    } else {
      EXPECT_EQ(key_->ReadNumber(c.receive ? "RxFIFO" : "TxFIFO"), before) << "a refused size is not written";
    }
  }
}

TEST_F(PortFifo, NtFamilyFifoSwitchAndMissingValues) {
  EXPECT_EQ(control_.IsFIFOEnable(), -25) << "nothing stored yet";
  EXPECT_EQ(control_.GetFIFOSize(true), -25);
  EXPECT_EQ(control_.EnableFIFO(true), 0);
  EXPECT_EQ(key_->ReadNumber("ForceFifoEnable"), 1u);
  EXPECT_EQ(control_.IsFIFOEnable(), 1);
  EXPECT_EQ(control_.EnableFIFO(false), 0);
  EXPECT_EQ(control_.IsFIFOEnable(), 0);
  ASSERT_TRUE(key_->WriteNumber("ForceFifoEnable", 7));
  EXPECT_EQ(control_.IsFIFOEnable(), 7) << "the stored number as it is";

  key_->SetReadOnly(true);
  EXPECT_EQ(control_.EnableFIFO(true), -25);
  EXPECT_EQ(control_.SetFIFOSize(false, 16), -25);
}

TEST_F(PortFifo, PortWithoutKeyAndKeyDuringEnumeration) {
  for (const char* name : {"COM2", "COM9", ""}) {
    SCOPED_TRACE(name);
    control_.Port = name;
    EXPECT_EQ(control_.EnableFIFO(true), -25);
    EXPECT_EQ(control_.SetFIFOSize(true, 4), -25);
    EXPECT_EQ(control_.IsFIFOEnable(), -25);
    EXPECT_EQ(control_.GetFIFOSize(false), -25);
  }
  control_.Port = "/dev/ttyS0";
  EXPECT_EQ(control_.SetFIFOSize(true, 8), 0);
  EXPECT_EQ(uart_->ReadNumber("RxFIFO"), 8u);

  control_.Port = "COM1";
  ASSERT_EQ(TPortControl::BeginEnumeratePorts(), 0);
  EXPECT_EQ(TPortControl::GetDeviceKey("COM1"), nullptr);
  EXPECT_EQ(control_.SetFIFOSize(false, 16), -25) << "the walk state is in use";
  TPortControl::EndEnumeratePorts();
  EXPECT_EQ(TPortControl::GetDeviceKey("COM1"), key_);
  EXPECT_EQ(control_.SetFIFOSize(false, 16), 0);
}

TEST_F(PortFifo, OtherFamiliesAreRefused) {
  control_.SetSystemFamily(SystemFamily::Other);
  EXPECT_EQ(control_.EnableFIFO(true), -24);
  EXPECT_EQ(control_.SetFIFOSize(true, 4), -24);
  EXPECT_EQ(control_.IsFIFOEnable(), -24);
  EXPECT_EQ(control_.GetFIFOSize(true), -24);
}

TEST_F(PortFifo, OlderFamilyPacksTheSettingsBytes) {
  OlderSettings({0x00, 0x01, 0x55, 0x00, 0x99});
  EXPECT_EQ(control_.IsFIFOEnable(), 0);
  EXPECT_EQ(control_.EnableFIFO(true), 0);
  EXPECT_EQ(Settings(), (std::vector<std::uint8_t>{0x02, 0x01, 0x55, 0x00, 0x99}));
  EXPECT_EQ(control_.IsFIFOEnable(), 1);

  struct Case {
    bool receive;
    std::uint32_t size;
    std::uint8_t code;
  };
  for (const Case c : {Case{true, 1, 0x00}, Case{true, 4, 0x40}, Case{true, 8, 0x80}, Case{true, 14, 0xC0},
                       Case{false, 1, 1}, Case{false, 4, 6}, Case{false, 8, 11}, Case{false, 16, 16}}) {
    SCOPED_TRACE(::testing::Message() << (c.receive ? "receive " : "transmit ") << c.size);
    EXPECT_EQ(control_.SetFIFOSize(c.receive, c.size), 0);
    EXPECT_EQ(Settings()[c.receive ? 3 : 1], c.code);
    EXPECT_EQ(control_.GetFIFOSize(c.receive), static_cast<int>(c.size));
    EXPECT_EQ(Settings()[2], 0x55) << "the byte between stays";
  }
  EXPECT_EQ(control_.SetFIFOSize(true, 16), -26);
  EXPECT_EQ(control_.SetFIFOSize(false, 14), -26);
  EXPECT_EQ(control_.SetFIFOSize(false, 2), -26);

  EXPECT_EQ(control_.EnableFIFO(false), 0);
  EXPECT_EQ(Settings()[0], 0x00);
  EXPECT_EQ(control_.IsFIFOEnable(), 0);
}

TEST_F(PortFifo, OlderFamilyFifoBitReadsBackWhateverElseTheByteHolds) {
  OlderSettings({0x81, 0x01, 0x00, 0x00});
  EXPECT_EQ(control_.IsFIFOEnable(), 0);
  EXPECT_EQ(control_.EnableFIFO(true), 0);
  EXPECT_EQ(Settings()[0], 0x83) << "the other bits of the byte are kept";
  EXPECT_EQ(control_.IsFIFOEnable(), 1);
}

TEST_F(PortFifo, OlderFamilyBadOrMissingSettingsGiveMinus25) {
  OlderSettings({0x02, 0x05, 0x00, 0x30});
  EXPECT_EQ(control_.GetFIFOSize(false), -25) << "5 is no transmit code";
  EXPECT_EQ(control_.GetFIFOSize(true), -25) << "0x30 is no receive code";

  OlderSettings({0x02, 0x06});
  EXPECT_EQ(control_.GetFIFOSize(false), 4);
  EXPECT_EQ(control_.GetFIFOSize(true), -25) << "too short to hold byte 3";
  EXPECT_EQ(control_.SetFIFOSize(true, 4), -25);
  EXPECT_EQ(Settings(), (std::vector<std::uint8_t>{0x02, 0x06})) << "nothing written past the end";

  control_.Port = "/dev/ttyS0";  // a key with no "settings" value
  EXPECT_EQ(control_.EnableFIFO(true), -25);
  EXPECT_EQ(control_.IsFIFOEnable(), -25);
  EXPECT_EQ(control_.SetFIFOSize(false, 4), -25);
}

}  // namespace
}  // namespace fjl::port
