#pragma once
// The outcome of a call into the operating system: success, or the system's
// error code together with the system's text for it and what it means to
// the user. Every platform call of the core answers one of these (or a
// Result<T> carrying one), so a failure always reaches someone who can
// report it, and its code is never read in the wrong numbering.
//
// The layers above the platform (serial, port, link, dump, output) report
// their failures the same way: a file of a dump that does not hold what it
// should travels as a Program failure beside the system's own, naming the
// file it concerns, and the front end words either once, with UserMessage().

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <type_traits>
#include <utility>

namespace fjl::platform {

// The numbering a code belongs to. On POSIX errno is the system's own; on
// Windows GetLastError() and the C runtime's errno count apart, and the same
// number means different things (28 is a full disk to one, no paper to the
// other).
enum class ErrorNumbering : std::uint8_t {
  System,    // errno on POSIX, GetLastError() on Windows
  CRuntime,  // errno set by the C or C++ runtime (streams, std::generic_category)
  Library,   // another library's own error_code category: only its text is known
  Program,   // found by the program itself, not by a call into the system: no code, only its text
};

// What a failure means, whatever numbered it: the cases the user is told
// about in his own words; everything else keeps the system's text.
enum class ErrorKind : std::uint8_t {
  Other,
  NoSpace,
  QuotaExceeded,
  ReadOnlyDisk,
  NoPermission,
  NameTooLong,
  NotFound,
  NotAFolder,
  IsAFolder,
  LinkLoop,
  Busy,
  NoDevice,
  NotATerminal,
  InvalidArgument,
  Cancelled,  // the user asked the operation to stop before it was done
};

class SystemResult {
 public:
  SystemResult() = default;
  // 0 is success; any other code is the system's (errno on POSIX,
  // GetLastError() on Windows). Implicit, so that platform code can answer
  // `return errno;` on POSIX or `return ::GetLastError();` on Windows.
  SystemResult(int code);  // NOLINT(google-explicit-constructor)
  // A bool is never an error code: `return true;` must not compile.
  SystemResult(bool) = delete;

  // An errno the C or C++ runtime left, on any platform.
  static SystemResult FromErrno(int errno_code);
  // A standard library error, read by its category.
  static SystemResult FromErrorCode(const std::error_code& code);
  // A failure that means the device itself is gone (a pulled USB adapter, a
  // closed pseudo-terminal): no later call on the same handle can succeed.
  // `code` may be 0 where the system only said the far end hung up.
  static SystemResult DeviceGone(int code);

  // A failure the program found rather than the system: a file that does
  // not hold what it should, a name it will not write to. `text` is all
  // there is to say (UTF-8, no trailing line end).
  static SystemResult Program(std::string text);

  // The same failure as the caller knows it to mean: Windows answers an
  // open of a COM port another program holds with "access denied".
  SystemResult As(ErrorKind kind) const;
  // The same failure, naming what it befell (a file's or a folder's path):
  // the user must know which of a dump's files a full disk stopped.
  SystemResult About(std::string subject) const;

  bool Ok() const { return code_ == 0 && !gone_ && numbering_ != ErrorNumbering::Program; }
  explicit operator bool() const { return Ok(); }
  int Code() const { return code_; }
  ErrorNumbering Numbering() const { return numbering_; }
  ErrorKind Kind() const { return kind_; }
  // The system's own text for the failure (a Program failure's own), UTF-8,
  // no trailing line end. The port component's descriptions quote it.
  const std::string& Text() const { return text_; }
  bool Gone() const { return gone_; }
  // What the failure befell; empty when the caller knows it.
  const std::string& Subject() const { return subject_; }

  // The user's words for the failure, the same on every platform: Russian
  // for the failures a user can act on (no room, a read-only disk, no
  // permission, a name too long, a missing folder, a folder in a file's
  // place), the system's own text for anything else. Both wizards and the
  // CLI show these. UTF-8; safe to call from any thread.
  std::string UserText() const;
  // UserText() after the subject and ": ", or alone when there is none.
  std::string UserMessage() const;

 private:
  SystemResult(int code, ErrorNumbering numbering);

  int code_ = 0;
  ErrorNumbering numbering_ = ErrorNumbering::System;
  ErrorKind kind_ = ErrorKind::Other;
  std::string text_;
  std::string subject_;
  bool gone_ = false;
};

// A value, or the failure that kept it from being made.
template <typename T>
class Result {
 public:
  // Anything that makes a T is a value (a derived class's pointer, nullptr).
  template <typename U>
    requires std::is_convertible_v<U&&, T> && (!std::is_same_v<std::remove_cvref_t<U>, SystemResult>)
  Result(U&& value) : value_(std::forward<U>(value)) {}  // NOLINT(google-explicit-constructor)
  // Must be a failure: a Result without a value says why.
  Result(SystemResult failure) : failure_(std::move(failure)) {}  // NOLINT(google-explicit-constructor)

  bool Ok() const { return value_.has_value(); }
  explicit operator bool() const { return Ok(); }
  T& Value() & { return *value_; }
  const T& Value() const& { return *value_; }
  T&& Value() && { return std::move(*value_); }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  // Success when there is a value.
  const SystemResult& Failure() const { return failure_; }

 private:
  std::optional<T> value_;
  SystemResult failure_;
};

// The system's text for one of its own codes (errno on POSIX, GetLastError()
// on Windows), in UTF-8 without a trailing line end. The port component's
// descriptions quote it as it stands.
std::string SystemErrorText(int code);

}  // namespace fjl::platform
