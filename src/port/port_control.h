#pragma once
// TPortControl: the serial port component. Line settings as properties, a
// time-out record, open and close, a high-priority session with reads and
// writes, modem-line functions, the driver's FIFO settings, and the
// class-wide port discovery. Every operation answers a result code (0 is
// success, see port_results.h); with EnableDescr set it also keeps a
// readable description of the last result.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "port/port_device_key.h"
#include "port/port_io.h"
#include "port/port_results.h"
#include "port/port_scheduler.h"
#include "port/port_types.h"

namespace fjl::port {

// One device of the serial port class, as the platform lists it. `port_name`
// is empty when the device's name could not be read; `key` is null when the
// device has no settings key.
struct PortDevice {
  std::optional<std::string> port_name;
  std::shared_ptr<DeviceKey> key = nullptr;
};

// Where discovery finds devices. The Linux source walks /sys/class/tty; tests
// inject their own lists.
class PortDeviceSource {
 public:
  virtual ~PortDeviceSource() = default;
  // nullopt when the device class cannot be listed at all.
  virtual std::optional<std::vector<PortDevice>> ListDevices() = 0;
  // The ports the system console is on (a serial console), named as
  // ListDevices names them. A search for the printer must not talk to
  // them. None by default: Windows has no console port.
  virtual std::vector<std::string> ConsolePorts() { return {}; }
};

// The serial devices of this system (port_source_linux.h, port_source_win32.cpp).
std::shared_ptr<PortDeviceSource> MakeSystemPortSource();

// Port names the discovery hands out: Windows-style names beginning with
// "com" (any case) and device paths beginning with "/dev/".
bool IsListablePortName(const std::string& name);

// Which port naming and FIFO settings layout the component follows. Linux
// keeps the NT-family rules (COM1..COM256, numeric FIFO values).
enum class SystemFamily { Nt, Older, Other };

class TPortControl {
 public:
  // The platform's port and the system scheduler.
  TPortControl();
  // Tests and other platforms bring their own port and scheduler; a null
  // scheduler means the system one.
  explicit TPortControl(PortIoOpener opener, std::shared_ptr<SessionScheduler> scheduler = nullptr);
  virtual ~TPortControl();
  TPortControl(const TPortControl&) = delete;
  TPortControl& operator=(const TPortControl&) = delete;

  // Properties, with their defaults.
  T1CommTimeouts Timeout;
  bool Buffering = false;
  std::string Port;
  dtrcontrol DTR = dtrcontrol::DTR_HANDSHAKE;
  rtscontrol RTS = rtscontrol::RTS_HANDSHAKE;
  databit DataBits = databit::Bits8;
  speed BaudRate = speed::S009600;
  parity Parity = parity::NO;
  stopbits StopBits = stopbits::ONE;
  char EndChar = 0;
  bool WaitEndChar = false;
  bool EnableDescr = false;

  virtual int OpenPort();
  virtual int ClosePort();
  virtual int StartSession(bool purge);
  virtual int EndSession(bool purge);
  virtual int WriteData(std::span<const std::uint8_t> data, std::uint32_t& written);
  virtual int ReadData(std::span<std::uint8_t> buffer, std::uint32_t& read);
  virtual int ClearError();
  virtual int SetPortTimeouts();
  virtual int EscapeCommFunction(std::uint32_t function);
  virtual int ClearBuffers(std::uint32_t purge_flags);
  virtual int EnableFIFO(bool enable);
  virtual int SetFIFOSize(bool receive, std::uint32_t size);
  virtual int IsFIFOEnable();
  virtual int GetFIFOSize(bool receive);

  // Takes "comN" (NT family: 1..256, older: 1..9, no leading zero) as the
  // upper-cased name, or a device path "/dev/..." as it stands (no empty,
  // "." or ".." parts, no control characters). Only while the port is
  // closed; anything else leaves Port unchanged. True when Port was set.
  bool SetNumPort(const std::string& name);
  void SetTimeout(const T1CommTimeouts& timeouts);
  // Sets the description from a system error code: "<message>\nError = 0x<code>".
  void ErrorString(std::uint32_t code);

  const std::string& Description() const { return description_; }
  // The system error code of the last failure; 0 after a success or a
  // failure with a fixed description.
  std::uint32_t LastError() const { return last_error_; }
  bool IsOpen() const { return io_ != nullptr; }
  bool InSession() const { return session_; }

  void SetSystemFamily(SystemFamily family) { family_ = family; }
  SystemFamily Family() const { return family_; }

  // Class-wide discovery: begin, take names until an empty one, end. These
  // work on PortDiscovery::Current() (port_discovery.h); a test puts its
  // own in place with a ScopedPortDiscovery.
  static int BeginEnumeratePorts();     // 0, or -27 (already active / no device class)
  static std::string EnumeratePorts();  // next name, "" when exhausted
  static int EndEnumeratePorts();       // 0
  // The settings key of the named port's device (names compare ignoring
  // case); null during an enumeration or when no device carries the name.
  static std::shared_ptr<DeviceKey> GetDeviceKey(const std::string& port);

  // Replaces the device source; null puts the system source back.
  static void SetDeviceSource(std::shared_ptr<PortDeviceSource> source);
  // Extra port paths (a simulator's pseudo-terminal, say) listed after the
  // devices found; empty by default. Each front end's main() passes those
  // of FJL_EXTRA_PORTS.
  static void SetExtraPorts(std::vector<std::string> paths);

 private:
  int Succeed();
  int FailFixed(int code, const char* description);
  int FailSystem(int code, const SystemResult& error);
  void Describe(const std::string& message, std::uint32_t code);
  int RestorePriority();
  int NotOpen(const char* description = kDescrPortNotOpened);
  std::shared_ptr<DeviceKey> OwnKey() const;

  PortIoOpener opener_;
  std::shared_ptr<SessionScheduler> scheduler_;
  std::unique_ptr<PortIo> io_;
  bool session_ = false;
  int saved_nice_ = 0;
  ThreadSchedule saved_schedule_{};
  std::uint32_t last_error_ = 0;
  std::string description_;
  SystemFamily family_ = SystemFamily::Nt;
};

}  // namespace fjl::port
