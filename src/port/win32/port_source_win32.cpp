// Port discovery on Windows: the present devices of the setup class "Ports",
// each named by the "PortName" value of its hardware registry key.

#include <windows.h>
// After windows.h: these use its types.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <memory>
#include <vector>

#include "platform/win32/wide_text.h"
#include "port/port_control.h"
#include "port/port_listing.h"
#include "port/win32/registry_device_key.h"

namespace fjl::port {

namespace {

// Room for this many class identifiers of one class name.
constexpr DWORD kMaxClassGuids = 20;
// "PortName" is read into this many bytes.
constexpr DWORD kPortNameBytes = 200;
// Read and write access to a device's hardware key, as the FIFO settings need.
constexpr REGSAM kDeviceKeyAccess = 0x20007;

using OpenDevNodeKeyFn = CONFIGRET(WINAPI*)(DEVINST, REGSAM, ULONG, REGDISPOSITION, PHKEY, ULONG);

std::optional<std::string> ReadPortName(HKEY key) {
  wchar_t name[kPortNameBytes / sizeof(wchar_t) + 1] = {};
  DWORD type = 0;
  DWORD size = kPortNameBytes;
  if (::RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return std::nullopt;
  }
  name[size / sizeof(wchar_t)] = L'\0';
  return platform::Utf8FromWide(name);
}

class SetupDiPortSource final : public PortDeviceSource {
 public:
  // The device-key routine is taken from cfgmgr32 once, when the source is
  // made, and the library is held until the source goes.
  // Every device key shares the library, so a key outliving the source
  // still finds the routine.
  SetupDiPortSource() {
    if (HMODULE library = ::LoadLibraryW(L"cfgmgr32.dll")) {
      cfgmgr_ = std::shared_ptr<void>(library, [](void* module) { ::FreeLibrary(static_cast<HMODULE>(module)); });
      open_key_ = reinterpret_cast<OpenDevNodeKeyFn>(
          reinterpret_cast<void (*)()>(::GetProcAddress(library, "CM_Open_DevNode_Key")));
    }
  }

  std::optional<std::vector<PortDevice>> ListDevices() override {
    GUID guids[kMaxClassGuids] = {};
    DWORD count = 0;
    if (!::SetupDiClassGuidsFromNameW(L"Ports", guids, kMaxClassGuids, &count) || count == 0) return std::nullopt;
    // The set of the last identifier is the one walked.
    HDEVINFO set = INVALID_HANDLE_VALUE;
    for (DWORD i = 0; i < count && i < kMaxClassGuids; ++i) {
      if (set != INVALID_HANDLE_VALUE) ::SetupDiDestroyDeviceInfoList(set);
      set = ::SetupDiGetClassDevsW(&guids[i], nullptr, nullptr, DIGCF_PRESENT);
    }
    if (set == INVALID_HANDLE_VALUE) return std::nullopt;

    std::vector<PortDevice> devices;
    // Bounded like the listing, so a set that never runs dry cannot hang it.
    for (DWORD index = 0; index < kMaxListedPorts; ++index) {
      SP_DEVINFO_DATA info{};
      info.cbSize = sizeof info;
      if (!::SetupDiEnumDeviceInfo(set, index, &info)) break;
      devices.push_back(Describe(info.DevInst));
    }
    ::SetupDiDestroyDeviceInfoList(set);
    return devices;
  }

 private:
  HKEY OpenHardwareKey(DEVINST device, REGSAM access) const {
    if (open_key_ == nullptr) return nullptr;
    HKEY key = nullptr;
    if (open_key_(device, access, 0, RegDisposition_OpenExisting, &key, CM_REGISTRY_HARDWARE) != CR_SUCCESS) {
      return nullptr;
    }
    return key;
  }

  PortDevice Describe(DEVINST device) const {
    PortDevice described;
    HKEY key = OpenHardwareKey(device, KEY_QUERY_VALUE);
    if (key == nullptr) return described;  // no name, no key: passed over
    described.port_name = ReadPortName(key);
    ::RegCloseKey(key);
    // The FIFO values need write access, which only an administrator has:
    // the key is opened when a value is read or written, not here.
    const OpenDevNodeKeyFn open_key = open_key_;
    described.key = MakeRegistryDeviceKey([library = cfgmgr_, open_key, device]() -> HKEY {
      HKEY settings = nullptr;
      if (open_key(device, kDeviceKeyAccess, 0, RegDisposition_OpenExisting, &settings, CM_REGISTRY_HARDWARE) !=
          CR_SUCCESS) {
        return nullptr;
      }
      return settings;
    });
    return described;
  }

  std::shared_ptr<void> cfgmgr_;
  OpenDevNodeKeyFn open_key_ = nullptr;
};

}  // namespace

std::shared_ptr<PortDeviceSource> MakeSystemPortSource() { return std::make_shared<SetupDiPortSource>(); }

}  // namespace fjl::port
