// The FIFO settings of a port go to its device's registry key. The system's
// device keys are out of reach of a test (and of wine's device list), so the
// key here is a test key under HKEY_CURRENT_USER, reached the same way.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "port/port_control.h"
#include "port/port_discovery.h"
#include "port/win32/registry_device_key.h"

namespace fjl::port {
namespace {

class ListedDevices : public PortDeviceSource {
 public:
  explicit ListedDevices(std::vector<PortDevice> devices) : devices_(std::move(devices)) {}
  std::optional<std::vector<PortDevice>> ListDevices() override { return devices_; }

 private:
  std::vector<PortDevice> devices_;
};

class RegistryFifoTest : public ::testing::Test {
 protected:
  const std::wstring path_ = L"Software\\fjl-restore-tests\\" + std::to_wstring(::GetCurrentProcessId());
  ScopedPortDiscovery discovery_;

  void SetUp() override {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
    const std::wstring path = path_;
    key_ = MakeRegistryDeviceKey([path]() -> HKEY {
      HKEY opened = nullptr;
      if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, 0x20007, &opened) != ERROR_SUCCESS) return nullptr;
      return opened;
    });
    TPortControl::SetDeviceSource(std::make_shared<ListedDevices>(std::vector<PortDevice>{
        {"COM1", nullptr}, {"LPT1", nullptr}, {"com7", key_}}));
  }

  void TearDown() override {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
    ::RegDeleteKeyW(HKEY_CURRENT_USER, path_.c_str());
  }

  std::optional<DWORD> Stored(const wchar_t* value) const {
    DWORD number = 0;
    DWORD size = sizeof number;
    if (::RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), value, RRF_RT_REG_DWORD, nullptr, &number, &size) !=
        ERROR_SUCCESS) {
      return std::nullopt;
    }
    return number;
  }

  std::shared_ptr<DeviceKey> key_;
};

TEST_F(RegistryFifoTest, SettingsLandInTheDeviceKeyAsNumbers) {
  TPortControl control(nullptr);
  control.Port = "COM7";  // the device calls itself com7: names compare ignoring case
  EXPECT_EQ(control.EnableFIFO(true), 0);
  EXPECT_EQ(Stored(L"ForceFifoEnable"), 1u);
  EXPECT_EQ(control.IsFIFOEnable(), 1);
  EXPECT_EQ(control.EnableFIFO(false), 0);
  EXPECT_EQ(Stored(L"ForceFifoEnable"), 0u);

  EXPECT_EQ(control.SetFIFOSize(true, 16), kPortBadFifoSize);  // receive triggers are 1, 4, 8, 14
  EXPECT_EQ(Stored(L"RxFIFO"), std::nullopt);
  EXPECT_EQ(control.SetFIFOSize(true, 14), 0);
  EXPECT_EQ(control.SetFIFOSize(false, 16), 0);
  EXPECT_EQ(Stored(L"RxFIFO"), 14u);
  EXPECT_EQ(Stored(L"TxFIFO"), 16u);
  EXPECT_EQ(control.GetFIFOSize(true), 14);
  EXPECT_EQ(control.GetFIFOSize(false), 16);
}

TEST_F(RegistryFifoTest, OlderFamilyPacksTheSettingsValue) {
  ASSERT_TRUE(key_->WriteBinary("settings", {0x00, 0x01, 0x00, 0x00, 0x55}));
  TPortControl control(nullptr);
  control.Port = "COM7";
  control.SetSystemFamily(SystemFamily::Older);
  EXPECT_EQ(control.EnableFIFO(true), 0);
  EXPECT_EQ(control.SetFIFOSize(true, 8), 0);
  EXPECT_EQ(control.SetFIFOSize(false, 16), 0);
  // FIFO bit 0x02 in byte 0, transmit code 16 in byte 1, receive code 0x80 in byte 3.
  EXPECT_EQ(key_->ReadBinary("settings"), (std::vector<std::uint8_t>{0x02, 16, 0x00, 0x80, 0x55}));
}

TEST_F(RegistryFifoTest, MissingValuesAndPortsAreNoKey) {
  TPortControl control(nullptr);
  control.Port = "COM7";
  EXPECT_EQ(control.GetFIFOSize(true), kPortNoDeviceKey);  // nothing stored yet
  control.Port = "COM1";                                    // listed, but without a key
  EXPECT_EQ(control.EnableFIFO(true), kPortNoDeviceKey);
  control.Port = "COM9";  // not listed at all
  EXPECT_EQ(control.IsFIFOEnable(), kPortNoDeviceKey);
  // A string where a number belongs is no number.
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, path_.c_str(), L"TxFIFO", REG_SZ, L"16", 6), ERROR_SUCCESS);
  control.Port = "COM7";
  EXPECT_EQ(control.GetFIFOSize(false), kPortNoDeviceKey);
}

TEST_F(RegistryFifoTest, AKeyThatCannotBeOpenedRefusesWrites) {
  const auto closed = MakeRegistryDeviceKey([]() -> HKEY { return nullptr; });
  EXPECT_FALSE(closed->WriteNumber("ForceFifoEnable", 1));
  EXPECT_EQ(closed->ReadNumber("ForceFifoEnable"), std::nullopt);
  EXPECT_FALSE(key_->WriteBinary("settings", std::vector<std::uint8_t>(101)));  // "settings" holds 100 bytes
}

TEST(SystemDiscovery, ListingEndsAndHandsOutOnlyComNames) {
  ScopedPortDiscovery system;  // the system source: SetupDi and cfgmgr32
  TPortControl control;
  const int begun = TPortControl::BeginEnumeratePorts();
  EXPECT_TRUE(begun == 0 || begun == kPortNoDeviceClass) << begun;
  for (int i = 0; i < 300; ++i) {
    const std::string name = TPortControl::EnumeratePorts();
    if (name.empty()) break;
    ASSERT_LT(i, 256) << "the walk must end";
    EXPECT_TRUE(name.size() > 3 && (name[0] == 'C' || name[0] == 'c')) << name;
  }
  EXPECT_EQ(TPortControl::EndEnumeratePorts(), 0);
}

}  // namespace
}  // namespace fjl::port
