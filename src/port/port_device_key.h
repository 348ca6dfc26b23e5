#pragma once
// A serial device's settings key: named numbers and binary values, the way
// the port driver's FIFO settings are kept. On Linux the 8250 UART's receive
// trigger is a real sysfs attribute; everything the kernel does not expose is
// held in memory for the life of the program.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace fjl::port {

class DeviceKey {
 public:
  virtual ~DeviceKey() = default;
  // nullopt when the value is absent or cannot be read.
  virtual std::optional<std::uint32_t> ReadNumber(const std::string& value) = 0;
  virtual std::optional<std::vector<std::uint8_t>> ReadBinary(const std::string& value) = 0;
  // false when the device refuses the value.
  virtual bool WriteNumber(const std::string& value, std::uint32_t number) = 0;
  virtual bool WriteBinary(const std::string& value, const std::vector<std::uint8_t>& bytes) = 0;
};

// Values held in memory. Tests fill it; devices without a kernel attribute
// use it. Value names compare ignoring case, as registry value names do.
class MemoryDeviceKey : public DeviceKey {
 public:
  std::optional<std::uint32_t> ReadNumber(const std::string& value) override;
  std::optional<std::vector<std::uint8_t>> ReadBinary(const std::string& value) override;
  bool WriteNumber(const std::string& value, std::uint32_t number) override;
  bool WriteBinary(const std::string& value, const std::vector<std::uint8_t>& bytes) override;

  // Makes every later write fail, as a read-only key would.
  void SetReadOnly(bool read_only) { read_only_ = read_only; }

 private:
  std::map<std::string, std::uint32_t> numbers_;
  std::map<std::string, std::vector<std::uint8_t>> binaries_;
  bool read_only_ = false;
};

// The 8250 UART: "RxFIFO" is the kernel's rx_trig_bytes attribute at
// `rx_trigger_path`; every other value lives in memory.
std::shared_ptr<DeviceKey> MakeUartDeviceKey(std::string rx_trigger_path);

}  // namespace fjl::port
