// The port component's Windows port: a COM handle driven through its DCB,
// its time-out record and the communications functions.

#include <windows.h>

#include "port/port_io.h"
#include "serial/win32/com_port.h"

namespace fjl::port {

namespace {

namespace com = serial::win32;
using com::Checked;

DWORD ClampedSize(std::size_t size) { return size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size); }

class Win32PortIo final : public PortIo {
 public:
  explicit Win32PortIo(HANDLE handle) : handle_(handle) {}
  ~Win32PortIo() override {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  Win32PortIo(const Win32PortIo&) = delete;
  Win32PortIo& operator=(const Win32PortIo&) = delete;

  SystemResult ReadSettings(LineSettings& settings) override {
    if (SystemResult read = com::ReadLine(handle_, dcb_); !read) return read;
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
    com::ComLine line;
    line.bits_per_second = wanted.bits_per_second;
    line.byte_size = DataBitCount(wanted.data_bits);
    line.parity = ParityCode(wanted.parity_mode);
    line.stop_bits = StopBitsCode(wanted.stop_bits);
    line.dtr_control = static_cast<DWORD>(wanted.dtr);
    line.rts_control = static_cast<DWORD>(wanted.rts);
    return com::WriteLine(handle_, dcb_, line);
  }

  SystemResult SetTimeouts(const T1CommTimeouts& t) override {
    COMMTIMEOUTS timeouts{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                          t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant};
    return com::WriteTimeouts(handle_, timeouts);
  }

  SystemResult Read(std::span<std::uint8_t> buffer, std::size_t& count) override {
    DWORD got = 0;
    const BOOL ok = com::ReceiveBytes(handle_, buffer.data(), ClampedSize(buffer.size()), &got);
    count = got;
    return Checked(ok);
  }

  SystemResult Write(std::span<const std::uint8_t> bytes, std::size_t& written) override {
    DWORD put = 0;
    const BOOL ok = com::SendBytes(handle_, bytes.data(), ClampedSize(bytes.size()), &put);
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

  SystemResult LockCode() override { return com::LockTransferCode(); }
  SystemResult UnlockCode() override { return com::UnlockTransferCode(); }

 private:
  HANDLE handle_;
  DCB dcb_{};
};

}  // namespace

OpenedPortIo OpenSystemPortIo(const std::string& name) {
  const platform::Result<HANDLE> opened = com::OpenComPort(name);
  if (!opened) return opened.Failure();
  return std::make_unique<Win32PortIo>(*opened);
}

}  // namespace fjl::port
