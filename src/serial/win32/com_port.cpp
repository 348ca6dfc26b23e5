#include "serial/win32/com_port.h"

#include "platform/win32/wide_text.h"
#include "serial/win32/com_names.h"

namespace fjl::serial::win32 {

namespace {

constexpr DWORD kQueueBytes = 1024;

// VirtualLock works in whole pages: one page's worth from the lower of the
// two entry addresses always reaches both small routines, which sit side by
// side in this file, and locks at most the two pages they may straddle.
constexpr SIZE_T kLockedCodeBytes = 4096;

void* TransferCodeStart() {
  auto* receive = reinterpret_cast<std::uint8_t*>(&ReceiveBytes);
  auto* send = reinterpret_cast<std::uint8_t*>(&SendBytes);
  return receive < send ? receive : send;
}

}  // namespace

SystemResult LastFailure() { return SystemResult(static_cast<int>(::GetLastError())); }

SystemResult Checked(BOOL ok) { return ok ? SystemResult() : LastFailure(); }

Result<HANDLE> OpenComPort(const std::string& name) {
  // COM10 and above are reached only through the device namespace.
  const std::wstring path = platform::WideFromUtf8(DevicePath(name));
  HANDLE port = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (port == INVALID_HANDLE_VALUE) {
    // An open that fails without saying why found no such port.
    const DWORD code = ::GetLastError() != 0 ? ::GetLastError() : ERROR_FILE_NOT_FOUND;
    return SystemResult(static_cast<int>(code)).As(OpenFailureKind(code));
  }
  // Queue sizes are a request; a driver that keeps its own is still usable.
  ::SetupComm(port, kQueueBytes, kQueueBytes);
  return port;
}

void PutLine(DCB& dcb, const ComLine& line) {
  dcb.BaudRate = line.bits_per_second;
  dcb.ByteSize = line.byte_size;
  dcb.Parity = line.parity;
  dcb.StopBits = line.stop_bits;
  if (line.dtr_control) dcb.fDtrControl = *line.dtr_control & 3u;
  if (line.rts_control) dcb.fRtsControl = *line.rts_control & 3u;
}

SystemResult ReadLine(HANDLE port, DCB& dcb) {
  dcb.DCBlength = sizeof dcb;
  return Checked(::GetCommState(port, &dcb));
}

SystemResult WriteLine(HANDLE port, DCB& dcb, const ComLine& line) {
  PutLine(dcb, line);
  return Checked(::SetCommState(port, &dcb));
}

SystemResult WriteTimeouts(HANDLE port, COMMTIMEOUTS timeouts) { return Checked(::SetCommTimeouts(port, &timeouts)); }

BOOL ReceiveBytes(HANDLE port, std::uint8_t* buffer, DWORD size, DWORD* got) {
  return ::ReadFile(port, buffer, size, got, nullptr);
}

BOOL SendBytes(HANDLE port, const std::uint8_t* bytes, DWORD size, DWORD* put) {
  return ::WriteFile(port, bytes, size, put, nullptr);
}

SystemResult LockTransferCode() { return Checked(::VirtualLock(TransferCodeStart(), kLockedCodeBytes)); }

SystemResult UnlockTransferCode() { return Checked(::VirtualUnlock(TransferCodeStart(), kLockedCodeBytes)); }

}  // namespace fjl::serial::win32
