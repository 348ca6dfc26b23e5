#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "port/port_control.h"
#include "port/port_discovery.h"
#include "port/port_extra_ports.h"
#include "port/posix/port_source_linux.h"

namespace fjl::port {
namespace {

namespace fs = std::filesystem;

class ListSource : public PortDeviceSource {
 public:
  explicit ListSource(std::optional<std::vector<PortDevice>> devices) : devices_(std::move(devices)) {}
  std::optional<std::vector<PortDevice>> ListDevices() override {
    ++calls;
    return devices_;
  }
  int calls = 0;

 private:
  std::optional<std::vector<PortDevice>> devices_;
};

PortDevice Named(const std::string& name, std::shared_ptr<DeviceKey> key = nullptr) {
  return PortDevice{name, std::move(key)};
}

// What the step 1 window does: begin, take names until the empty one, end.
std::vector<std::string> AllNames() {
  std::vector<std::string> names;
  TPortControl::BeginEnumeratePorts();
  for (int guard = 0; guard < 100; ++guard) {
    std::string name = TPortControl::EnumeratePorts();
    if (name.empty()) break;
    names.push_back(name);
  }
  TPortControl::EndEnumeratePorts();
  return names;
}

class PortDiscovery : public ::testing::Test {
 protected:
  void Use(std::optional<std::vector<PortDevice>> devices) {
    TPortControl::SetDeviceSource(std::make_shared<ListSource>(std::move(devices)));
  }

  ScopedPortDiscovery discovery_;
};

TEST_F(PortDiscovery, HandsOutOnlyComNamesThenTheEmptyName) {
  Use(std::vector<PortDevice>{Named("COM1"), Named("LPT1"), Named("com7")});
  ASSERT_EQ(TPortControl::BeginEnumeratePorts(), 0);
  EXPECT_EQ(TPortControl::EnumeratePorts(), "COM1");
  EXPECT_EQ(TPortControl::EnumeratePorts(), "com7");
  EXPECT_EQ(TPortControl::EnumeratePorts(), "");
  EXPECT_EQ(TPortControl::EnumeratePorts(), "") << "an exhausted walk stays exhausted";
  EXPECT_EQ(TPortControl::EndEnumeratePorts(), 0);
}

TEST_F(PortDiscovery, AcceptsDevicePathsAndRejectsOtherNames) {
  struct Case {
    const char* name;
    bool listed;
  };
  const Case cases[] = {
      {"COM1", true},          {"cOm12", true},    {"com", true},         {"/dev/ttyUSB0", true},
      {"/dev/ttyS0", true},    {"/dev/", false},   {"ttyS0", false},      {"LPT1", false},
      {"co", false},           {"", false},        {"dev/ttyS0", false},  {"/devx/ttyS0", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsListablePortName(c.name), c.listed) << c.name;
  }
}

TEST_F(PortDiscovery, SecondBeginWithoutEndIsRefused) {
  Use(std::vector<PortDevice>{Named("COM1")});
  ASSERT_EQ(TPortControl::BeginEnumeratePorts(), 0);
  EXPECT_EQ(TPortControl::BeginEnumeratePorts(), -27);
  // The refused begin did not restart the walk in progress.
  EXPECT_EQ(TPortControl::EnumeratePorts(), "COM1");
  EXPECT_EQ(TPortControl::EndEnumeratePorts(), 0);
  EXPECT_EQ(TPortControl::BeginEnumeratePorts(), 0);
  EXPECT_EQ(TPortControl::EnumeratePorts(), "COM1");
}

TEST_F(PortDiscovery, MissingDeviceClassGivesMinus27AndAnEmptyList) {
  Use(std::nullopt);
  EXPECT_EQ(TPortControl::BeginEnumeratePorts(), -27);
  EXPECT_EQ(TPortControl::EnumeratePorts(), "");
  // Nothing was left active: a later begin is not refused for that reason.
  Use(std::vector<PortDevice>{Named("COM2")});
  EXPECT_EQ(TPortControl::BeginEnumeratePorts(), 0);
}

TEST_F(PortDiscovery, ExtraPortsAreListedEvenWithoutTheDeviceClass) {
  Use(std::nullopt);
  TPortControl::SetExtraPorts({"/dev/pts/9", "", "/tmp/sim-port"});
  EXPECT_EQ(TPortControl::BeginEnumeratePorts(), -27) << "the class itself is still missing";
  EXPECT_EQ(TPortControl::EnumeratePorts(), "/dev/pts/9");
  EXPECT_EQ(TPortControl::EnumeratePorts(), "/tmp/sim-port");
  EXPECT_EQ(TPortControl::EnumeratePorts(), "");
  EXPECT_EQ(TPortControl::EndEnumeratePorts(), 0);
  // Refilled the next time just the same, and nothing was left active.
  EXPECT_EQ(AllNames(), (std::vector<std::string>{"/dev/pts/9", "/tmp/sim-port"}));
  Use(std::vector<PortDevice>{Named("COM2")});
  EXPECT_EQ(TPortControl::BeginEnumeratePorts(), 0);
  EXPECT_EQ(TPortControl::EnumeratePorts(), "COM2");
  EXPECT_EQ(TPortControl::EnumeratePorts(), "/dev/pts/9");
}

TEST_F(PortDiscovery, EnumerateWithoutBeginFindsNothing) {
  Use(std::vector<PortDevice>{Named("COM1")});
  EXPECT_EQ(TPortControl::EnumeratePorts(), "");
}

TEST_F(PortDiscovery, DeviceWithUnreadableNameIsSkipped) {
  Use(std::vector<PortDevice>{PortDevice{std::nullopt, nullptr}, Named("COM3"), PortDevice{std::nullopt, nullptr}});
  EXPECT_EQ(AllNames(), (std::vector<std::string>{"COM3"}));
}

TEST_F(PortDiscovery, ExtraPortsFollowTheDevicesFound) {
  Use(std::vector<PortDevice>{Named("/dev/ttyUSB0"), Named("LPT1")});
  EXPECT_EQ(AllNames(), (std::vector<std::string>{"/dev/ttyUSB0"})) << "no extras by default";
  TPortControl::SetExtraPorts({"/dev/pts/7", "", "sim-port"});
  EXPECT_EQ(AllNames(), (std::vector<std::string>{"/dev/ttyUSB0", "/dev/pts/7", "sim-port"}));
  Use(std::vector<PortDevice>{});
  EXPECT_EQ(AllNames(), (std::vector<std::string>{"/dev/pts/7", "sim-port"}));
}

TEST_F(PortDiscovery, DeviceKeyIsFoundByNameOutsideAnEnumerationOnly) {
  auto key1 = std::make_shared<MemoryDeviceKey>();
  auto key7 = std::make_shared<MemoryDeviceKey>();
  Use(std::vector<PortDevice>{Named("COM1", key1), Named("LPT1"), Named("COM5"), Named("com7", key7)});
  EXPECT_EQ(TPortControl::GetDeviceKey("com1"), key1);
  // COM5 has no key; it must not hide the ports after it.
  EXPECT_EQ(TPortControl::GetDeviceKey("COM7"), key7);
  EXPECT_EQ(TPortControl::GetDeviceKey("COM5"), nullptr);
  EXPECT_EQ(TPortControl::GetDeviceKey("COM9"), nullptr);

  ASSERT_EQ(TPortControl::BeginEnumeratePorts(), 0);
  EXPECT_EQ(TPortControl::GetDeviceKey("COM1"), nullptr);
  EXPECT_EQ(TPortControl::EnumeratePorts(), "COM1") << "the key lookup left the walk alone";
  TPortControl::EndEnumeratePorts();
  EXPECT_EQ(TPortControl::GetDeviceKey("COM1"), key1);
}

TEST(ExtraPorts, SplitsTheColonSeparatedList) {
  EXPECT_EQ(SplitPortList("/dev/pts/3::/tmp/sim:"), (std::vector<std::string>{"/dev/pts/3", "/tmp/sim"}));
  EXPECT_EQ(SplitPortList(""), std::vector<std::string>{});
  EXPECT_EQ(SplitPortList("/dev/ttyUSB1"), std::vector<std::string>{"/dev/ttyUSB1"});
  EXPECT_EQ(SplitPortList(":/dev/pts/4:/dev/pts/5"), (std::vector<std::string>{"/dev/pts/4", "/dev/pts/5"}));
}

TEST(ScopedPortDiscoveryTest, StandsInForTheCurrentOneAndGivesItBackUntouched) {
  ScopedPortDiscovery outer(std::make_shared<ListSource>(std::vector<PortDevice>{Named("COM1")}), {"/dev/pts/1"});
  ASSERT_EQ(TPortControl::BeginEnumeratePorts(), 0);
  ASSERT_EQ(TPortControl::EnumeratePorts(), "COM1");
  {
    ScopedPortDiscovery inner(std::make_shared<ListSource>(std::vector<PortDevice>{Named("COM9")}));
    EXPECT_EQ(AllNames(), std::vector<std::string>{"COM9"}) << "its own walk, without the outer extras";
    TPortControl::SetExtraPorts({"/tmp/inner"});
    TPortControl::SetDeviceSource(std::make_shared<ListSource>(std::nullopt));
    EXPECT_EQ(AllNames(), std::vector<std::string>{"/tmp/inner"});
  }
  // The outer walk goes on where it stood, with the outer source and extras.
  EXPECT_EQ(TPortControl::EnumeratePorts(), "/dev/pts/1");
  EXPECT_EQ(TPortControl::EnumeratePorts(), "");
  EXPECT_EQ(TPortControl::EndEnumeratePorts(), 0);
  EXPECT_EQ(AllNames(), (std::vector<std::string>{"COM1", "/dev/pts/1"}));
}

// A made-up /sys/class/tty tree.
class SysfsTree : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("fjl-sysfs-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "devices");
  }
  void TearDown() override { fs::remove_all(root_); }

  void Tty(const std::string& name, bool has_device, std::optional<int> type = std::nullopt,
           const std::string& driver = "") {
    const fs::path dir = root_ / "class" / name;
    fs::create_directories(dir);
    if (has_device) {
      const fs::path device = root_ / "devices" / name;
      fs::create_directories(device);
      fs::create_directory_symlink(device, dir / "device");
      if (!driver.empty()) {
        fs::create_directories(root_ / "drivers" / driver);
        fs::create_directory_symlink(root_ / "drivers" / driver, device / "driver");
      }
    }
    if (type) std::ofstream(dir / "type") << *type << '\n';
  }
  void File(const std::string& relative, const std::string& text) { std::ofstream(root_ / "class" / relative) << text; }
  std::string Slurp(const std::string& relative) {
    std::ifstream in(root_ / "class" / relative);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<std::string> Names() {
    auto devices = MakeSysfsPortSource((root_ / "class").string(), "/dev")->ListDevices();
    std::vector<std::string> names;
    if (!devices) return {"<no class>"};
    for (const auto& d : *devices) names.push_back(d.port_name.value_or("<none>"));
    return names;
  }

  fs::path root_;
};

TEST_F(SysfsTree, ListsRealSerialDevicesInNaturalOrder) {
  Tty("ttyS0", true, 4);
  Tty("ttyS1", true, 0);                      // 8250 placeholder, no UART
  Tty("ttyS2", true, 4);
  Tty("ttyS10", true, 4);
  Tty("ttyS3", true, std::nullopt, "serial8250");
  Tty("ttyS4", true, std::nullopt, "some_uart");
  Tty("ttyUSB0", true);
  Tty("ttyACM0", true);
  Tty("tty", true);                           // the controlling-terminal alias
  Tty("console", true);
  Tty("tty0", false);
  Tty("tty12", true);
  Tty("ptmx", false);
  Tty("ttyprintk", false);
  EXPECT_EQ(Names(), (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS4",
                                               "/dev/ttyS10", "/dev/ttyUSB0"}));
}

// The kernel names the active consoles on one line; none when it has no file.
TEST_F(SysfsTree, ConsolePortsAreTheActiveConsolesUnderDev) {
  const auto source = MakeSysfsPortSource((root_ / "class").string(), "/dev");
  EXPECT_EQ(source->ConsolePorts(), std::vector<std::string>{});
  Tty("console", true);
  File("console/active", "tty0 ttyS0\n");
  EXPECT_EQ(source->ConsolePorts(), (std::vector<std::string>{"/dev/tty0", "/dev/ttyS0"}));
}

TEST_F(SysfsTree, MissingClassFolderMeansNoDeviceClass) {
  EXPECT_EQ(MakeSysfsPortSource((root_ / "nowhere").string())->ListDevices(), std::nullopt);
  fs::create_directories(root_ / "class");
  EXPECT_EQ(Names(), std::vector<std::string>{});
}

TEST_F(SysfsTree, UartKeyReadsAndWritesTheReceiveTrigger) {
  Tty("ttyS0", true, 4);
  File("ttyS0/rx_trig_bytes", "1\n");
  Tty("ttyUSB0", true);
  auto source = MakeSysfsPortSource((root_ / "class").string());
  auto devices = source->ListDevices();
  ASSERT_TRUE(devices);
  ASSERT_EQ(devices->size(), 2u);
  auto uart = (*devices)[0].key;
  ASSERT_NE(uart, nullptr);
  EXPECT_EQ(uart->ReadNumber("RxFIFO"), 1u);
  EXPECT_TRUE(uart->WriteNumber("RxFIFO", 8));
  EXPECT_EQ(Slurp("ttyS0/rx_trig_bytes"), "8\n");
  // Values the kernel does not expose are kept, and kept across listings.
  EXPECT_EQ(uart->ReadNumber("TxFIFO"), std::nullopt);
  EXPECT_TRUE(uart->WriteNumber("TxFIFO", 16));
  EXPECT_EQ((*source->ListDevices())[0].key->ReadNumber("txfifo"), 16u);

  auto usb = (*devices)[1].key;
  ASSERT_NE(usb, nullptr);
  EXPECT_EQ(usb->ReadNumber("RxFIFO"), std::nullopt);
  EXPECT_TRUE(usb->WriteNumber("RxFIFO", 14));
  EXPECT_EQ(usb->ReadNumber("RxFIFO"), 14u);
}

TEST(SystemPortSource, ListsOnlyDevicePathsOnThisMachine) {
  auto devices = MakeSystemPortSource()->ListDevices();
  ASSERT_TRUE(devices) << "/sys/class/tty is always there on Linux";
  for (const auto& d : *devices) {
    ASSERT_TRUE(d.port_name);
    EXPECT_EQ(d.port_name->rfind("/dev/tty", 0), 0u) << *d.port_name;
    EXPECT_NE(*d.port_name, "/dev/console");
  }
}

}  // namespace
}  // namespace fjl::port
