#include "port/port_control.h"

#include <cctype>
#include <cerrno>
#include <cstdio>

namespace fjl::port {

namespace {

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

TPortControl::TPortControl() : TPortControl(OpenSystemPortIo) {}

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

int TPortControl::FailSystem(int code, const SystemResult& error) {
  last_error_ = static_cast<std::uint32_t>(error.Code());
  if (EnableDescr) Describe(error.Text(), last_error_);
  return code;
}

int TPortControl::NotOpen(const char* description) { return FailFixed(kPortNotOpen, description); }

namespace {

// Result codes of the Win32 facility (7, as HRESULT_FROM_WIN32 makes them)
// and of the Windows facility (8) wrap a plain system code in their low half.
std::uint32_t PlainSystemCode(std::uint32_t code) {
  const std::uint32_t facility = (code >> 16) & 0x1FFFu;
  return facility == 7u || facility == 8u ? code & 0xFFFFu : code;
}

}  // namespace

void TPortControl::ErrorString(std::uint32_t code) {
  code = PlainSystemCode(code);
  Describe(platform::SystemErrorText(static_cast<int>(code)), code);
}

void TPortControl::Describe(const std::string& message, std::uint32_t code) {
  code = PlainSystemCode(code);
  char text[32];
  std::snprintf(text, sizeof text, "\nError = 0x%lx", static_cast<unsigned long>(code));
  description_ = message + text;
}

int TPortControl::OpenPort() {
  if (io_) return FailFixed(kPortAlreadyOpen, kDescrPortOpened);
  // No opener, or one that gives no port and no reason: there is no such port.
  OpenedPortIo opened = opener_ ? opener_(Port) : OpenedPortIo(SystemResult::FromErrno(ENOENT));
  if (!opened) return FailSystem(kPortOpenFailed, opened.Failure());
  std::unique_ptr<PortIo> io = std::move(opened).Value();
  if (!io) return FailSystem(kPortOpenFailed, SystemResult::FromErrno(ENOENT));

  LineSettings settings;
  if (SystemResult r = io->ReadSettings(settings); !r) return FailSystem(kPortGetSettingsFailed, r);
  settings.bits_per_second = BitsPerSecond(BaudRate);
  settings.data_bits = DataBits;
  settings.parity_mode = Parity;
  settings.stop_bits = StopBits;
  settings.dtr = DTR;
  settings.rts = RTS;
  if (SystemResult r = io->WriteSettings(settings); !r) return FailSystem(kPortSetSettingsFailed, r);
  if (SystemResult r = io->ReadSettings(settings); !r) return FailSystem(kPortGetSettingsFailed, r);
  if (SystemResult r = io->SetTimeouts(Timeout); !r) return FailSystem(kPortTimeoutsFailed, r);
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
  SystemResult error = io_->Flush();
  if (!error) {
    code = kPortFlushFailed;
  } else if (!(error = io_->Purge(kPurgeAll))) {
    code = kPortPurgeFailed;
  }
  const SystemResult close_error = io_->Close();
  io_.reset();
  // Closing the port ends its session: the raised priority must not outlive it.
  if (session_) {
    RestorePriority();
    session_ = false;
  }
  if (code != kPortOk) return FailSystem(code, error);
  if (!close_error) return FailSystem(kPortCloseFailed, close_error);
  return Succeed();
}

int TPortControl::RestorePriority() {
  if (SystemResult r = scheduler_->SetProcessPriority(saved_nice_); !r) return FailSystem(kPortSetPriorityClassFailed, r);
  if (SystemResult r = scheduler_->SetThreadSchedule(saved_schedule_); !r) {
    return FailSystem(kPortSetThreadPriorityFailed, r);
  }
  return kPortOk;
}

int TPortControl::StartSession(bool purge) {
  if (!io_) return NotOpen();
  if (session_) return FailFixed(kPortSessionRunning, kDescrSessionOpened);
  if (SystemResult r = scheduler_->GetProcessPriority(saved_nice_); !r) return FailSystem(kPortGetPriorityClassFailed, r);
  if (SystemResult r = scheduler_->GetThreadSchedule(saved_schedule_); !r) {
    return FailSystem(kPortGetThreadPriorityFailed, r);
  }
  if (SystemResult r = scheduler_->SetProcessPriority(scheduler_->SessionNice()); !r) {
    return FailSystem(kPortSetPriorityClassFailed, r);
  }
  // A session that fails half-way leaves the priority as it was.
  const auto undo_priority = [this] {
    scheduler_->SetThreadSchedule(saved_schedule_);
    scheduler_->SetProcessPriority(saved_nice_);
  };
  if (SystemResult r = scheduler_->SetThreadSchedule(scheduler_->SessionSchedule()); !r) {
    scheduler_->SetProcessPriority(saved_nice_);
    return FailSystem(kPortSetThreadPriorityFailed, r);
  }
  if (SystemResult r = io_->LockCode(); !r) {
    undo_priority();
    return FailSystem(kPortLockFailed, r);
  }
  if (purge) {
    if (SystemResult r = io_->Purge(kPurgeAll); !r) {
      io_->UnlockCode();
      undo_priority();
      return FailSystem(kPortPurgeFailed, r);
    }
  }
  session_ = true;
  return Succeed();
}

int TPortControl::EndSession(bool purge) {
  if (!io_) return NotOpen();
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpened);
  if (const int code = RestorePriority(); code != kPortOk) return code;
  // The priority is back, so the session is over even if the unlock or the
  // purge fails: a vanished device must not leave the session flag stuck.
  session_ = false;
  if (SystemResult r = io_->UnlockCode(); !r) return FailSystem(kPortUnlockFailed, r);
  if (purge) {
    if (SystemResult r = io_->Purge(kPurgeAll); !r) return FailSystem(kPortPurgeFailed, r);
  }
  return Succeed();
}

int TPortControl::WriteData(std::span<const std::uint8_t> data, std::uint32_t& written) {
  written = 0;
  if (!io_) return NotOpen(kDescrPortNotOpenedWrite);
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpenedDot);
  if (Buffering) {
    std::size_t sent = 0;
    const SystemResult r = io_->Write(data, sent);
    written = static_cast<std::uint32_t>(sent);
    if (!r) return FailSystem(kPortWriteFailed, r);
  } else {
    for (std::size_t i = 0; i < data.size(); ++i) {
      if (SystemResult r = io_->TransmitChar(data[i]); !r) {
        written = static_cast<std::uint32_t>(i);
        return FailSystem(kPortWriteFailed, r);
      }
    }
    written = static_cast<std::uint32_t>(data.size());
  }
  if (SystemResult r = io_->Flush(); !r) return FailSystem(kPortFlushFailed, r);
  return Succeed();
}

int TPortControl::ReadData(std::span<std::uint8_t> buffer, std::uint32_t& read) {
  read = 0;
  if (!io_) return NotOpen();
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpenedRead);
  if (!WaitEndChar) {
    std::size_t got = 0;
    const SystemResult r = io_->Read(buffer, got);
    read = static_cast<std::uint32_t>(got);
    if (!r) return FailSystem(kPortReadFailed, r);
    return Succeed();
  }
  const auto end = static_cast<std::uint8_t>(EndChar);
  while (read < buffer.size()) {
    std::size_t got = 0;
    if (SystemResult r = io_->Read(buffer.subspan(read, 1), got); !r) return FailSystem(kPortReadFailed, r);
    if (got == 0) break;
    if (buffer[read++] == end) return Succeed();
  }
  return FailFixed(kPortNoEndChar, kDescrEndCharAbsent);
}

int TPortControl::ClearError() {
  if (!io_) return NotOpen();
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpenedBare);
  if (SystemResult r = io_->ClearError(); !r) return FailSystem(kPortClearErrorFailed, r);
  if (SystemResult r = io_->Purge(kPurgeAll); !r) return FailSystem(kPortPurgeFailed, r);
  return Succeed();
}

int TPortControl::SetPortTimeouts() {
  if (!io_) return NotOpen();
  if (SystemResult r = io_->SetTimeouts(Timeout); !r) return FailSystem(kPortTimeoutsFailed, r);
  return Succeed();
}

int TPortControl::EscapeCommFunction(std::uint32_t function) {
  if (!io_) return NotOpen();
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpenedDot);
  if (SystemResult r = io_->Escape(function); !r) return FailSystem(kPortEscapeFailed, r);
  return Succeed();
}

int TPortControl::ClearBuffers(std::uint32_t purge_flags) {
  if (!io_) return NotOpen();
  if (!session_) return FailFixed(kPortNoSession, kDescrSessionNotOpenedDot);
  if (SystemResult r = io_->Purge(purge_flags); !r) return FailSystem(kPortClearBuffersFailed, r);
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

}  // namespace fjl::port
