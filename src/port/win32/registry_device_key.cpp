#include "port/win32/registry_device_key.h"

#include "platform/win32/wide_text.h"

namespace fjl::port {

namespace {

// The most a "settings" value holds.
constexpr DWORD kMaxBinaryBytes = 100;

class OpenKey {
 public:
  explicit OpenKey(HKEY key) : key_(key) {}
  ~OpenKey() {
    if (key_ != nullptr) ::RegCloseKey(key_);
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;
  HKEY get() const { return key_; }
  explicit operator bool() const { return key_ != nullptr; }

 private:
  HKEY key_;
};

class RegistryDeviceKey final : public DeviceKey {
 public:
  explicit RegistryDeviceKey(RegistryKeyOpener opener) : opener_(std::move(opener)) {}

  std::optional<std::uint32_t> ReadNumber(const std::string& value) override {
    const OpenKey key(opener_());
    if (!key) return std::nullopt;
    DWORD type = 0;
    DWORD number = 0;
    DWORD size = sizeof number;
    const std::wstring name = platform::WideFromUtf8(value);
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof number) {
      return std::nullopt;
    }
    return number;
  }

  std::optional<std::vector<std::uint8_t>> ReadBinary(const std::string& value) override {
    const OpenKey key(opener_());
    if (!key) return std::nullopt;
    std::vector<std::uint8_t> bytes(kMaxBinaryBytes);
    DWORD type = 0;
    DWORD size = kMaxBinaryBytes;
    const std::wstring name = platform::WideFromUtf8(value);
    if (::RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS ||
        type != REG_BINARY) {
      return std::nullopt;
    }
    bytes.resize(size);
    return bytes;
  }

  bool WriteNumber(const std::string& value, std::uint32_t number) override {
    const OpenKey key(opener_());
    if (!key) return false;
    const DWORD data = number;
    const std::wstring name = platform::WideFromUtf8(value);
    return ::RegSetValueExW(key.get(), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                            sizeof data) == ERROR_SUCCESS;
  }

  bool WriteBinary(const std::string& value, const std::vector<std::uint8_t>& bytes) override {
    if (bytes.size() > kMaxBinaryBytes) return false;
    const OpenKey key(opener_());
    if (!key) return false;
    const std::wstring name = platform::WideFromUtf8(value);
    return ::RegSetValueExW(key.get(), name.c_str(), 0, REG_BINARY, bytes.data(),
                            static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
  }

 private:
  RegistryKeyOpener opener_;
};

}  // namespace

std::shared_ptr<DeviceKey> MakeRegistryDeviceKey(RegistryKeyOpener opener) {
  return std::make_shared<RegistryDeviceKey>(std::move(opener));
}

}  // namespace fjl::port
