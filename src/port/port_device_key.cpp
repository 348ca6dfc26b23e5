#include "port/port_device_key.h"

#include <cctype>
#include <charconv>
#include <fstream>

namespace fjl::port {

namespace {

std::string Folded(const std::string& name) {
  std::string folded = name;
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return folded;
}

class UartDeviceKey final : public DeviceKey {
 public:
  explicit UartDeviceKey(std::string rx_trigger_path) : rx_trigger_path_(std::move(rx_trigger_path)) {}

  std::optional<std::uint32_t> ReadNumber(const std::string& value) override {
    if (!IsRxTrigger(value)) return memory_.ReadNumber(value);
    std::ifstream in(rx_trigger_path_);
    std::string text;
    if (!(in >> text)) return std::nullopt;
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return number;
  }

  std::optional<std::vector<std::uint8_t>> ReadBinary(const std::string& value) override {
    return memory_.ReadBinary(value);
  }

  bool WriteNumber(const std::string& value, std::uint32_t number) override {
    if (!IsRxTrigger(value)) return memory_.WriteNumber(value, number);
    // The driver refuses the write (EINVAL) when the UART has no trigger levels.
    std::ofstream out(rx_trigger_path_);
    out << number << '\n';
    out.flush();
    return static_cast<bool>(out);
  }

  bool WriteBinary(const std::string& value, const std::vector<std::uint8_t>& bytes) override {
    return memory_.WriteBinary(value, bytes);
  }

 private:
  static bool IsRxTrigger(const std::string& value) { return Folded(value) == "rxfifo"; }

  std::string rx_trigger_path_;
  MemoryDeviceKey memory_;
};

}  // namespace

std::optional<std::uint32_t> MemoryDeviceKey::ReadNumber(const std::string& value) {
  const auto found = numbers_.find(Folded(value));
  if (found == numbers_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::vector<std::uint8_t>> MemoryDeviceKey::ReadBinary(const std::string& value) {
  const auto found = binaries_.find(Folded(value));
  if (found == binaries_.end()) return std::nullopt;
  return found->second;
}

bool MemoryDeviceKey::WriteNumber(const std::string& value, std::uint32_t number) {
  if (read_only_) return false;
  numbers_[Folded(value)] = number;
  return true;
}

bool MemoryDeviceKey::WriteBinary(const std::string& value, const std::vector<std::uint8_t>& bytes) {
  if (read_only_) return false;
  binaries_[Folded(value)] = bytes;
  return true;
}

std::shared_ptr<DeviceKey> MakeUartDeviceKey(std::string rx_trigger_path) {
  return std::make_shared<UartDeviceKey>(std::move(rx_trigger_path));
}

}  // namespace fjl::port
