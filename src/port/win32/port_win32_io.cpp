// The port component's Windows port: a COM handle driven through its DCB,
// its time-out record and the communications functions.

#include <windows.h>

#include "platform/win32/wide_text.h"
#include "port/port_io.h"
#include "serial/win32/com_names.h"

namespace fjl::link {

namespace {

// The session keeps this much of the read and write routines' code locked.
constexpr SIZE_T kLockedCodeBytes = 2000;

SystemResult LastFailure() { return SystemResult(static_cast<int>(::GetLastError())); }
SystemResult Checked(BOOL ok) { return ok ? SystemResult() : LastFailure(); }

// The read and write routines of the session; the lower of their entry
// addresses starts the locked region.
BOOL ReadBytes(HANDLE handle, std::uint8_t* buffer, DWORD size, DWORD* got) {
  return ::ReadFile(handle, buffer, size, got, nullptr);
}
BOOL WriteBytes(HANDLE handle, const std::uint8_t* bytes, DWORD size, DWORD* put) {
  return ::WriteFile(handle, bytes, size, put, nullptr);
}

void* LockedCodeStart() {
  auto* read = reinterpret_cast<std::uint8_t*>(&ReadBytes);
  auto* write = reinterpret_cast<std::uint8_t*>(&WriteBytes);
  return read < write ? read : write;
}

DWORD ClampedSize(std::size_t size) { return size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size); }

class Win32PortIo final : public PortIo {
 public:
  explicit Win32PortIo(HANDLE handle) : handle_(handle) { dcb_.DCBlength = sizeof dcb_; }
  ~Win32PortIo() override {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  Win32PortIo(const Win32PortIo&) = delete;
  Win32PortIo& operator=(const Win32PortIo&) = delete;

  SystemResult ReadSettings(LineSettings& settings) override {
    if (!::GetCommState(handle_, &dcb_)) return LastFailure();
    settings.bits_per_second = dcb_.BaudRate;
    settings.data_bits = dcb_.ByteSize <= 5 ? databit::Bits5
                         : dcb_.ByteSize == 6 ? databit::Bits6
                         : dcb_.ByteSize == 7 ? databit::Bits7
                                              : databit::Bits8;
    switch (dcb_.Parity) {
      case EVENPARITY: settings.parity_mode = parity::EVEN; break;
      case ODDPARITY: settings.parity_mode = parity::ODD; break;
      case MARKPARITY: settings.parity_mode = parity::MARK; break;
      default: settings.parity_mode = parity::NO; break;
    }
    settings.stop_bits = dcb_.StopBits == ONE5STOPBITS ? stopbits::ONE5
                         : dcb_.StopBits == TWOSTOPBITS ? stopbits::TWO
                                                        : stopbits::ONE;
    settings.dtr = dcb_.fDtrControl == DTR_CONTROL_DISABLE ? dtrcontrol::DTR_DISABLE
                   : dcb_.fDtrControl == DTR_CONTROL_ENABLE ? dtrcontrol::DTR_ENABLE
                                                            : dtrcontrol::DTR_HANDSHAKE;
    settings.rts = dcb_.fRtsControl == RTS_CONTROL_DISABLE ? rtscontrol::RTS_DISABLE
                   : dcb_.fRtsControl == RTS_CONTROL_ENABLE ? rtscontrol::RTS_ENABLE
                                                            : rtscontrol::RTS_HANDSHAKE;
    return {};
  }

  // The fields of the properties go into the DCB last read; every other
  // field stays as the port had it.
  SystemResult WriteSettings(const LineSettings& wanted) override {
    dcb_.BaudRate = wanted.bits_per_second;
    dcb_.ByteSize = DataBitCount(wanted.data_bits);
    dcb_.Parity = ParityCode(wanted.parity_mode);
    dcb_.StopBits = StopBitsCode(wanted.stop_bits);
    dcb_.fDtrControl = static_cast<DWORD>(wanted.dtr) & 3u;
    dcb_.fRtsControl = static_cast<DWORD>(wanted.rts) & 3u;
    return Checked(::SetCommState(handle_, &dcb_));
  }

  SystemResult SetTimeouts(const T1CommTimeouts& t) override {
    COMMTIMEOUTS timeouts{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                          t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant};
    return Checked(::SetCommTimeouts(handle_, &timeouts));
  }

  SystemResult Read(std::span<std::uint8_t> buffer, std::size_t& count) override {
    DWORD got = 0;
    const BOOL ok = ReadBytes(handle_, buffer.data(), ClampedSize(buffer.size()), &got);
    count = got;
    return Checked(ok);
  }

  SystemResult Write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
    DWORD put = 0;
    const BOOL ok = WriteBytes(handle_, bytes.data(), ClampedSize(bytes.size()), &put);
    written = put;
    if (ok && put < bytes.size()) return SystemResult(static_cast<int>(ERROR_WRITE_FAULT));  // the write time-out ran out
    return Checked(ok);
  }

  SystemResult TransmitChar(std::uint8_t byte) override {
    return Checked(::TransmitCommChar(handle_, static_cast<char>(byte)));
  }

  SystemResult Flush() override { return Checked(::FlushFileBuffers(handle_)); }

  SystemResult Purge(std::uint32_t flags) override { return Checked(::PurgeComm(handle_, flags)); }

  SystemResult ClearError() override {
    DWORD errors = 0;
    COMSTAT status{};
    return Checked(::ClearCommError(handle_, &errors, &status));
  }

  SystemResult Escape(std::uint32_t function) override { return Checked(::EscapeCommFunction(handle_, function)); }

  SystemResult Close() override {
    const BOOL ok = ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return Checked(ok);
  }

  SystemResult LockCode() override { return Checked(::VirtualLock(LockedCodeStart(), kLockedCodeBytes)); }
  SystemResult UnlockCode() override { return Checked(::VirtualUnlock(LockedCodeStart(), kLockedCodeBytes)); }

 private:
  HANDLE handle_;
  DCB dcb_{};
};

}  // namespace

OpenedPortIo OpenSystemPortIo(const std::string& name) {
  // COM10 and above are reached only through the device namespace.
  const std::wstring path = platform::WideFromUtf8(win32::DevicePath(name));
  HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    return SystemResult(static_cast<int>(error != 0 ? error : ERROR_FILE_NOT_FOUND));
  }
  return std::make_unique<Win32PortIo>(handle);
}

}  // namespace fjl::link
