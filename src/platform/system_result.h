#pragma once
// The outcome of a call into the operating system: success, or the system's
// error code (errno on POSIX, GetLastError() on Windows) together with the
// system's text for it. Every platform call of the core answers one of these,
// so a failure always reaches someone who can report it.

#include <cstdint>
#include <string>

namespace fjl::platform {

class SystemResult {
 public:
  SystemResult() = default;
  // 0 is success; any other code carries the system's text for it. Implicit,
  // so that platform code can answer `return errno;` or `return 0;`.
  SystemResult(int code);  // NOLINT(google-explicit-constructor)
  // A bool is never an error code: `return true;` must not compile.
  SystemResult(bool) = delete;

  // A failure that means the device itself is gone (a pulled USB adapter, a
  // closed pseudo-terminal): no later call on the same handle can succeed.
  static SystemResult DeviceGone(int code);

  bool Ok() const { return code_ == 0; }
  explicit operator bool() const { return Ok(); }
  int Code() const { return code_; }
  const std::string& Text() const { return text_; }
  bool Gone() const { return gone_; }

 private:
  int code_ = 0;
  std::string text_;
  bool gone_ = false;
};

// The system's text for an error code, in UTF-8 without a trailing line end.
std::string SystemErrorText(int code);

// The C library's text for an errno value. On POSIX errno values are the
// system's codes; on Windows they are the C runtime's own numbering.
std::string ErrnoText(int errno_code);

}  // namespace fjl::platform
