#include "port/port_control.h"

#include <cctype>
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>

namespace fjl::link {

namespace {

// strerror_r comes in two flavours; each overload takes one of them.
[[maybe_unused]] const char* MessageOf(int result, const char* buffer) { return result == 0 ? buffer : nullptr; }
[[maybe_unused]] const char* MessageOf(const char* result, const char*) { return result; }

std::string SystemMessage(int code) {
  char buffer[256] = {};
  const char* message = MessageOf(::strerror_r(code, buffer, sizeof buffer), buffer);
  if (message == nullptr || *message == '\0') return "Unknown error " + std::to_string(code);
  return message;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "COM" plus a number within the family's range, no leading zero.
bool IsComName(const std::string& name, SystemFamily family) {
  if (name.size() < 4) return false;
  for (std::size_t i = 0; i < 3; ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != "com"[i]) return false;
  }
  const std::string digits = name.substr(3);
  if (digits.size() > 3 || digits[0] == '0') return false;
  unsigned number = 0;
  for (char c : digits) {
    if (!IsDigit(c)) return false;
    number = number * 10 + static_cast<unsigned>(c - '0');
  }
  switch (family) {
    case SystemFamily::Nt: return number >= 1 && number <= 256;
    case SystemFamily::Older: return number >= 1 && number <= 9;
    case SystemFamily::Other: return false;
  }
  return false;
}

// "/dev/" and at least one more part; no "", "." or ".." part and no control
// character, so the name cannot climb out of /dev.
bool IsDevicePath(const std::string& name) {
  if (name.size() <= 5 || name.compare(0, 5, "/dev/") != 0) return false;
  for (char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  std::size_t start = 5;
  while (start <= name.size()) {
    std::size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

}  // namespace

TPortControl::TPortControl() : TPortControl(OpenPosixPortIo) {}

TPortControl::TPortControl(PortIoOpener opener, std::shared_ptr<SessionScheduler> scheduler)
    : opener_(std::move(opener)), scheduler_(scheduler ? std::move(scheduler) : MakeSystemScheduler()) {}

TPortControl::~TPortControl() {
  if (io_) ClosePort();
}

int TPortControl::Succeed() {
  last_error_ = 0;
  description_.clear();
  return kPortOk;
}

int TPortControl::FailFixed(int code, const char* description) {
  last_error_ = 0;
  if (EnableDescr) description_ = description;
  return code;
}

int TPortControl::FailSystem(int code, int error) {
  last_error_ = static_cast<std::uint32_t>(error);
  if (EnableDescr) ErrorString(last_error_);
  return code;
}

int TPortControl::NotOpen(const char* description) { return FailFixed(kPortNotOpen, description); }

void TPortControl::ErrorString(std::uint32_t code) {
  // Codes carrying the Win32 facility wrap a plain system code in their low half.
  if (((code >> 16) & 0x1FFFu) == 8u) code &= 0xFFFFu;
  const std::string message = SystemMessage(static_cast<int>(code));
  char text[512];
  std::snprintf(text, sizeof text, "%s\nError = 0x%lx", message.c_str(), static_cast<unsigned long>(code));
  description_ = text;
}

int TPortControl::OpenPort() {
  if (io_) return FailFixed(kPortAlreadyOpen, kDescrPortOpened);
  int error = 0;
  std::unique_ptr<PortIo> io = opener_ ? opener_(Port, error) : nullptr;
  if (!io) return FailSystem(kPortOpenFailed, error != 0 ? error : ENOENT);

  LineSettings settings;
  if ((error = io->ReadSettings(settings)) != 0) return FailSystem(kPortGetSettingsFailed, error);
  settings.bits_per_second = BitsPerSecond(BaudRate);
  settings.data_bits = DataBits;
  settings.parity_mode = Parity;
  settings.stop_bits = StopBits;
  settings.dtr = DTR;
  settings.rts = RTS;
  if ((error = io->WriteSettings(settings)) != 0) return FailSystem(kPortSetSettingsFailed, error);
  if ((error = io->ReadSettings(settings)) != 0) return FailSystem(kPortGetSettingsFailed, error);
  if ((error = io->SetTimeouts(Timeout)) != 0) return FailSystem(kPortTimeoutsFailed, error);
  // A port that failed half-way was closed as `io` went out of scope; only a
  // fully set-up port is kept.
  io_ = std::move(io);
  return Succeed();
}

int TPortControl::ClosePort() {
  if (!io_) return NotOpen();
  // A vanished device fails the flush and the purge; its handle is released
  // all the same, or the port could never be closed or opened again.
  int code = kPortOk;
  int error = io_->Flush();
  if (error != 0) {
    code = kPortFlushFailed;
  } else if ((error = io_->Purge(kPurgeAll)) != 0) {
    code = kPortPurgeFailed;
  }
  const int close_error = io_->Close();
  io_.reset();
  // Closing the port ends its session: the raised priority must not outlive it.
  if (session_) {
    RestorePriority();
    session_ = false;
  }
  if (code != kPortOk) return FailSystem(code, error);
  if (close_error != 0) return FailSystem(kPortCloseFailed, close_error);
  return Succeed();
}

int TPortControl::RestorePriority() {
  if (const int error = scheduler_->SetProcessPriority(saved_nice_)) return FailSystem(kPortSetPriorityClassFailed, error);
  if (const int error = scheduler_->SetThreadSchedule(saved_schedule_)) {
    return FailSystem(kPortSetThreadPriorityFailed, error);
  }
  return kPortOk;
}

int TPortControl::StartSession(bool purge) {
  if (!io_) return NotOpen();
  if (session_) return FailFixed(kPortSessionRunning, kDescrSessionOpened);
  int error = scheduler_->GetProcessPriority(saved_nice_);
  if (error != 0) return FailSystem(kPortGetPriorityClassFailed, error);
  if ((error = scheduler_->GetThreadSchedule(saved_schedule_)) != 0) {
    return FailSystem(kPortGetThreadPriorityFailed, error);
  }
  if ((error = scheduler_->SetProcessPriority(scheduler_->SessionNice())) != 0) {
    return FailSystem(kPortSetPriorityClassFailed, error);
  }
  if ((error = scheduler_->SetThreadSchedule(scheduler_->SessionSchedule())) != 0) {
    scheduler_->SetProcessPriority(saved_nice_);  // leave the priority as it was
    return FailSystem(kPortSetThreadPriorityFailed, error);
  }
  // The session's read and write paths are not locked in memory: the kernel
  // buffers the tty, so a page fault costs latency but never a byte.
  if (purge && (error = io_->Purge(kPurgeAll)) != 0) {
    scheduler_->SetThreadSchedule(saved_schedule_);
    scheduler_->SetProcessPriority(saved_nice_);
    return FailSystem(kPortPurgeFailed, error);
  }
  session_ = true;
  return Succeed();
}

int TPortControl::EndSession(bool purge) {
  if (!io_) return NotOpen();
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpened);
  if (const int code = RestorePriority(); code != kPortOk) return code;
  // The priority is back, so the session is over even if the purge fails: a
  // vanished device must not leave the session flag stuck.
  session_ = false;
  if (purge) {
    if (const int error = io_->Purge(kPurgeAll)) return FailSystem(kPortPurgeFailed, error);
  }
  return Succeed();
}

int TPortControl::WriteData(std::span<const std::uint8_t> data, std::uint32_t& written) {
  written = 0;
  if (!io_) return NotOpen(kDescrPortNotOpenedWrite);
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpenedDot);
  if (Buffering) {
    std::size_t sent = 0;
    const int error = io_->Write(data, sent);
    written = static_cast<std::uint32_t>(sent);
    if (error != 0) return FailSystem(kPortWriteFailed, error);
  } else {
    for (std::size_t i = 0; i < data.size(); ++i) {
      if (const int error = io_->TransmitChar(data[i])) {
        written = static_cast<std::uint32_t>(i);
        return FailSystem(kPortWriteFailed, error);
      }
    }
    written = static_cast<std::uint32_t>(data.size());
  }
  if (const int error = io_->Flush()) return FailSystem(kPortFlushFailed, error);
  return Succeed();
}

int TPortControl::ReadData(std::span<std::uint8_t> buffer, std::uint32_t& read) {
  read = 0;
  if (!io_) return NotOpen();
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpenedRead);
  if (!WaitEndChar) {
    std::size_t got = 0;
    const int error = io_->Read(buffer, got);
    read = static_cast<std::uint32_t>(got);
    if (error != 0) return FailSystem(kPortReadFailed, error);
    return Succeed();
  }
  const auto end = static_cast<std::uint8_t>(EndChar);
  while (read < buffer.size()) {
    std::size_t got = 0;
    if (const int error = io_->Read(buffer.subspan(read, 1), got)) return FailSystem(kPortReadFailed, error);
    if (got == 0) break;
    if (buffer[read++] == end) return Succeed();
  }
  return FailFixed(kPortNoEndChar, kDescrEndCharAbsent);
}

int TPortControl::ClearError() {
  if (!io_) return NotOpen();
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpenedBare);
  if (const int error = io_->ClearError()) return FailSystem(kPortClearErrorFailed, error);
  if (const int error = io_->Purge(kPurgeAll)) return FailSystem(kPortPurgeFailed, error);
  return Succeed();
}

int TPortControl::SetPortTimeouts() {
  if (!io_) return NotOpen();
  if (const int error = io_->SetTimeouts(Timeout)) return FailSystem(kPortTimeoutsFailed, error);
  return Succeed();
}

int TPortControl::EscapeCommFunction(std::uint32_t function) {
  if (!io_) return NotOpen();
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpenedDot);
  if (const int error = io_->Escape(function)) return FailSystem(kPortEscapeFailed, error);
  return Succeed();
}

int TPortControl::ClearBuffers(std::uint32_t purge_flags) {
  if (!io_) return NotOpen();
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpenedDot);
  if (const int error = io_->Purge(purge_flags)) return FailSystem(kPortClearBuffersFailed, error);
  return Succeed();
}

bool TPortControl::SetNumPort(const std::string& name) {
  if (io_) return false;
  if (IsComName(name, family_)) {
    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    Port = upper;
    return true;
  }
  if (IsDevicePath(name)) {
    Port = name;
    return true;
  }
  return false;
}

void TPortControl::SetTimeout(const T1CommTimeouts& timeouts) { Timeout = timeouts; }

}  // namespace fjl::link
