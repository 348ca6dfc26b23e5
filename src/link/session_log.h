#pragma once
// The session log: a text file to which every port opening and closing and
// every request and reply of the link can be appended, each entry time-stamped.
// Logging is on exactly when a log file name is set; the program sets none.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/local_time.h"
#include "platform/system_result.h"

namespace fjl::link {

// A log entry's time stamp: the machine's wall-clock time.
using LocalTime = platform::CalendarTime;

using LocalTimeSource = std::function<LocalTime()>;
// Where a relative log file name is resolved: the current directory by default.
using DirectorySource = std::function<std::filesystem::path()>;
// Appends one entry's bytes to the log file (platform::AppendToFile).
using LogWriter = std::function<platform::SystemResult(const std::filesystem::path&, std::string_view)>;
// Hears why the log stopped taking entries.
using LogFailureHandler = std::function<void(const platform::SystemResult&)>;

LocalTime SystemLocalTime();

class SessionLog {
 public:
  SessionLog();

  // An empty name switches logging off. A new name is resolved against the
  // current directory at its first entry, and starts a log with nothing lost.
  void SetFileName(std::string name);
  const std::string& FileName() const { return file_name_; }
  void SetClock(LocalTimeSource clock);
  void SetDirectorySource(DirectorySource directory);
  void SetWriter(LogWriter writer);
  // Called once per log file name, at the first entry the file would not
  // take: from there on the log is incomplete, and whoever reads it later
  // must be told so.
  void SetFailureHandler(LogFailureHandler handler);

  // Appends one entry: head empty is the session start, body empty the
  // session end, both present a request or reply entry. An entry the file
  // will not take is lost, but the exchange it records goes on, and later
  // entries are tried again.
  void WriteSessionLog(std::string_view head, std::string_view body);

  // The entry WriteSessionLog appends, as Windows-1251 bytes.
  static std::string FormatEntry(const LocalTime& time, std::string_view head, std::string_view body);

 private:
  std::string file_name_;
  std::filesystem::path path_;  // built at the first entry after the name was set
  LocalTimeSource clock_;
  DirectorySource directory_;
  LogWriter writer_;
  LogFailureHandler on_failure_;
  bool failed_ = false;  // an entry of this file name was lost
};

}  // namespace fjl::link
