#include "port/posix/port_source_linux.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

#include "port/port_device_key.h"

namespace fjl::port {

namespace {

namespace fs = std::filesystem;

std::optional<long> ReadNumberFile(const fs::path& path) {
  std::ifstream in(path);
  std::string text;
  if (!(in >> text)) return std::nullopt;
  long number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return number;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

bool IsVirtualTerminal(const std::string& name) {
  if (name == "tty" || name == "console" || name == "ptmx") return true;
  if (!StartsWith(name, "tty") || name.size() == 3) return false;
  return std::all_of(name.begin() + 3, name.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// The 8250 driver registers as many ttyS ports as it is configured for, most
// of them with no UART behind them: their type reads 0 (PORT_UNKNOWN).
bool IsRealDevice(const fs::path& tty_dir, const std::string& name) {
  std::error_code error;
  if (!fs::exists(tty_dir / "device", error)) return false;
  if (!StartsWith(name, "ttyS")) return true;
  if (const auto type = ReadNumberFile(tty_dir / "type")) return *type != 0;
  const fs::path driver = fs::read_symlink(tty_dir / "device" / "driver", error);
  return !error && driver.filename() != "serial8250";
}

// ttyS2 before ttyS10: the text before the trailing number, then the number.
bool NaturalLess(const std::string& a, const std::string& b) {
  auto split = [](const std::string& s) {
    std::size_t digits = s.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(s[digits - 1]))) --digits;
    const std::string tail = s.substr(digits);
    unsigned long number = 0;
    std::from_chars(tail.data(), tail.data() + tail.size(), number);
    return std::make_pair(s.substr(0, digits), tail.empty() ? 0UL : number + 1);
  };
  const auto sa = split(a);
  const auto sb = split(b);
  if (sa != sb) return sa < sb;
  return a < b;
}

class SysfsPortSource final : public PortDeviceSource {
 public:
  SysfsPortSource(std::string tty_class_root, std::string dev_root)
      : tty_class_root_(std::move(tty_class_root)), dev_root_(std::move(dev_root)) {}

  std::optional<std::vector<PortDevice>> ListDevices() override {
    std::error_code error;
    fs::directory_iterator entries(tty_class_root_, error);
    if (error) return std::nullopt;
    std::vector<std::string> names;
    for (; entries != fs::directory_iterator(); entries.increment(error)) {
      if (error) break;
      const std::string name = entries->path().filename().string();
      if (IsVirtualTerminal(name)) continue;
      if (IsRealDevice(entries->path(), name)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), NaturalLess);

    std::vector<PortDevice> devices;
    devices.reserve(names.size());
    for (const auto& name : names) {
      devices.push_back(PortDevice{(fs::path(dev_root_) / name).string(), KeyOf(name)});
    }
    return devices;
  }

  std::vector<std::string> ConsolePorts() override {
    std::ifstream active(fs::path(tty_class_root_) / "console" / "active");
    std::vector<std::string> ports;
    for (std::string name; active >> name;) ports.push_back((fs::path(dev_root_) / name).string());
    return ports;
  }

 private:
  std::shared_ptr<DeviceKey> KeyOf(const std::string& name) {
    std::lock_guard lock(keys_mutex_);
    auto& key = keys_[name];
    if (!key) {
      const fs::path rx_trigger = fs::path(tty_class_root_) / name / "rx_trig_bytes";
      std::error_code error;
      if (fs::exists(rx_trigger, error)) {
        key = MakeUartDeviceKey(rx_trigger.string());
      } else {
        key = std::make_shared<MemoryDeviceKey>();
      }
    }
    return key;
  }

  std::string tty_class_root_;
  std::string dev_root_;
  std::mutex keys_mutex_;
  std::map<std::string, std::shared_ptr<DeviceKey>> keys_;
};

}  // namespace

std::shared_ptr<PortDeviceSource> MakeSysfsPortSource(std::string tty_class_root, std::string dev_root) {
  return std::make_shared<SysfsPortSource>(std::move(tty_class_root), std::move(dev_root));
}

std::shared_ptr<PortDeviceSource> MakeSystemPortSource() { return MakeSysfsPortSource(); }

}  // namespace fjl::port
