// The Windows serial port: a COM device opened by name, with the queue
// sizes, line settings and time-outs of the printer link.

#include <windows.h>

#include <chrono>
#include <thread>

#include "serial/serial_channel.h"
#include "serial/win32/com_names.h"
#include "serial/win32/com_port.h"

namespace fjl::serial {

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto kReadWindow = std::chrono::milliseconds(100);
constexpr DWORD kPurgeAll = PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR;

// A read waits up to 100 ms for the first byte and ends 1 ms after the
// last one it took, so a reply is taken as it ends. The MAXDWORD form ("every
// waiting byte at once, else the first to arrive") does the same on Windows,
// but wine ends that wait only when the constant has run out, adding 100 ms
// to every reply. An interval time-out without the total would block for
// ever on a silent line.
constexpr COMMTIMEOUTS kTimeouts{1, 0, 100, 0, 0};

SystemResult Failure(DWORD code) { return SystemResult(static_cast<int>(code)); }

SystemResult FailureOnLine(DWORD code) {
  return win32::MeansDeviceGone(code) ? SystemResult::DeviceGone(static_cast<int>(code)) : Failure(code);
}

class Win32SerialChannel final : public SerialChannel {
 public:
  explicit Win32SerialChannel(HANDLE handle) : handle_(handle) {}
  ~Win32SerialChannel() override { Close(); }
  Win32SerialChannel(const Win32SerialChannel&) = delete;
  Win32SerialChannel& operator=(const Win32SerialChannel&) = delete;

  ReadResult Read(std::span<std::uint8_t> buffer) override {
    const auto deadline = Clock::now() + kReadWindow;
    if (handle_ == INVALID_HANDLE_VALUE) {
      std::this_thread::sleep_until(deadline);
      return Failure(ERROR_INVALID_HANDLE);
    }
    if (buffer.empty()) return std::size_t{0};
    const DWORD size = buffer.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(buffer.size());
    DWORD got = 0;
    if (!win32::ReceiveBytes(handle_, buffer.data(), size, &got)) {
      const DWORD error = ::GetLastError();
      std::this_thread::sleep_until(deadline);
      return FailureOnLine(error);
    }
    if (got > 0) return std::size_t{got};
    // A line whose far end has gone still reads as silence; the port's
    // status tells (wine answers ERROR_NOT_READY for a closed pty, a pulled
    // adapter its own errors), and so does every read after a refused write.
    std::this_thread::sleep_until(deadline);
    if (write_refused_ || StatusSaysGone()) return SystemResult::DeviceGone(0);
    return std::size_t{0};
  }

  // Whether fetching the port's error state and queue status fails as on a
  // device that is no longer there.
  bool StatusSaysGone() const {
    DWORD errors = 0;
    COMSTAT status{};
    return !::ClearCommError(handle_, &errors, &status) && win32::MeansDeviceGone(::GetLastError());
  }

  SystemResult Write(std::span<const std::uint8_t> bytes) override {
    if (handle_ == INVALID_HANDLE_VALUE) return Failure(ERROR_INVALID_HANDLE);
    while (!bytes.empty()) {
      const DWORD size = bytes.size() > MAXDWORD ? MAXDWORD : static_cast<DWORD>(bytes.size());
      DWORD put = 0;
      if (!win32::SendBytes(handle_, bytes.data(), size, &put)) {
        write_refused_ = true;
        return FailureOnLine(::GetLastError());
      }
      if (put == 0) {
        write_refused_ = true;
        return Failure(ERROR_WRITE_FAULT);
      }
      bytes = bytes.subspan(put);
    }
    return {};
  }

  SystemResult Drain() override {
    if (handle_ == INVALID_HANDLE_VALUE) return Failure(ERROR_INVALID_HANDLE);
    return ::FlushFileBuffers(handle_) ? SystemResult() : FailureOnLine(::GetLastError());
  }

  SystemResult Purge(PurgeDirection direction) override {
    if (handle_ == INVALID_HANDLE_VALUE) return Failure(ERROR_INVALID_HANDLE);
    DWORD flags = kPurgeAll;
    switch (direction) {
      case PurgeDirection::Input: flags = PURGE_RXABORT | PURGE_RXCLEAR; break;
      case PurgeDirection::Output: flags = PURGE_TXABORT | PURGE_TXCLEAR; break;
      case PurgeDirection::Both: flags = kPurgeAll; break;
    }
    return ::PurgeComm(handle_, flags) ? SystemResult() : FailureOnLine(::GetLastError());
  }

  bool Close() override {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    const BOOL closed = ::CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return closed != FALSE;
  }

  // Kernel handles are small multiples of four.
  int Handle() const override {
    if (handle_ == INVALID_HANDLE_VALUE) return -1;
    return static_cast<int>(reinterpret_cast<std::intptr_t>(handle_) & 0x7FFFFFFF);
  }

 private:
  HANDLE handle_;
  bool write_refused_ = false;
};

SystemResult Configure(HANDLE handle, DWORD speed) {
  DCB dcb{};
  if (SystemResult read = win32::ReadLine(handle, dcb); !read) return read;
  // 8N1 at the speed; flow control, DTR/RTS and special characters stay as
  // the port has them.
  win32::ComLine line;
  line.bits_per_second = speed;
  if (SystemResult written = win32::WriteLine(handle, dcb, line); !written) return written;
  if (SystemResult set = win32::WriteTimeouts(handle, kTimeouts); !set) return set;
  ::PurgeComm(handle, kPurgeAll);
  return {};
}

}  // namespace

OpenedChannel OpenSerialPort(const std::string& name, std::int32_t speed) {
  if (speed <= 0) return Failure(ERROR_INVALID_PARAMETER);
  if (name.empty()) return Failure(ERROR_FILE_NOT_FOUND);
  // Locking can fail without harm (a small working set): not checked.
  win32::LockTransferCode();
  const Result<HANDLE> opened = win32::OpenComPort(name);
  if (!opened) return opened.Failure();
  HANDLE handle = *opened;
  if (SystemResult configured = Configure(handle, static_cast<DWORD>(speed)); !configured) {
    // The port is there but refuses the line settings: told as such, with
    // the system's own words for why.
    ::CloseHandle(handle);
    return configured.As(platform::ErrorKind::InvalidArgument);
  }
  return std::make_unique<Win32SerialChannel>(handle);
}

}  // namespace fjl::serial
