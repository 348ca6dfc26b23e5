#pragma once
// Opening and configuring a COM port, shared by the printer link's channel
// and the port component: one place decides how a port is opened, how its
// line settings are written and which code a session keeps locked.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/system_result.h"

namespace fjl::serial::win32 {

using platform::Result;
using platform::SystemResult;

// The failure GetLastError() holds now.
SystemResult LastFailure();
// Success when the call succeeded, else the failure GetLastError() holds.
SystemResult Checked(BOOL ok);

// Opens `name` ("COM3", "\\.\COM12") for reading and writing, shared with
// nobody, without overlapped I/O, and asks for 1024-byte queues. A failure
// carries what it means to the user (a port another program holds is Busy).
Result<HANDLE> OpenComPort(const std::string& name);

// The line format one caller wants; what it leaves empty stays as the port
// has it (the printer link leaves DTR and RTS alone, the component sets them).
struct ComLine {
  DWORD bits_per_second = 9600;
  BYTE byte_size = 8;
  BYTE parity = NOPARITY;
  BYTE stop_bits = ONESTOPBIT;
  std::optional<DWORD> dtr_control;
  std::optional<DWORD> rts_control;
};

// Puts `line` into `dcb`, keeping every field it does not name (flow
// control, special characters, ...).
void PutLine(DCB& dcb, const ComLine& line);

// The port's DCB as it is now.
SystemResult ReadLine(HANDLE port, DCB& dcb);
// Puts `line` into `dcb` (read before by ReadLine) and writes it to the port.
SystemResult WriteLine(HANDLE port, DCB& dcb, const ComLine& line);
SystemResult WriteTimeouts(HANDLE port, COMMTIMEOUTS timeouts);

// The routines that move bytes over the line. A session keeps their code in
// physical memory so that no page fault delays a byte.
BOOL ReceiveBytes(HANDLE port, std::uint8_t* buffer, DWORD size, DWORD* got);
BOOL SendBytes(HANDLE port, const std::uint8_t* bytes, DWORD size, DWORD* put);
SystemResult LockTransferCode();
SystemResult UnlockTransferCode();

}  // namespace fjl::serial::win32
