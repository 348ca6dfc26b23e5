#pragma once
// The session log: a text file to which every port opening and closing and
// every request and reply of the link can be appended, each entry time-stamped.
// Logging is on exactly when a log file name is set; the program sets none.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "platform/local_time.h"

namespace fjl::link {

// A log entry's time stamp: the machine's wall-clock time.
using LocalTime = platform::CalendarTime;

using LocalTimeSource = std::function<LocalTime()>;
// Where a relative log file name is resolved: the current directory by default.
using DirectorySource = std::function<std::filesystem::path()>;

LocalTime SystemLocalTime();

class SessionLog {
 public:
  SessionLog();

  // An empty name switches logging off. A new name is resolved against the
  // current directory at its first entry.
  void SetFileName(std::string name);
  const std::string& FileName() const { return file_name_; }
  void SetClock(LocalTimeSource clock);
  void SetDirectorySource(DirectorySource directory);

  // Appends one entry: head empty is the session start, body empty the
  // session end, both present a request or reply entry. A log file that
  // cannot be opened or written is skipped without a word: the exchange it
  // records must go on.
  void WriteSessionLog(std::string_view head, std::string_view body);

  // The entry WriteSessionLog appends, as Windows-1251 bytes.
  static std::string FormatEntry(const LocalTime& time, std::string_view head, std::string_view body);

 private:
  std::string file_name_;
  std::filesystem::path path_;  // built at the first entry after the name was set
  LocalTimeSource clock_;
  DirectorySource directory_;
};

}  // namespace fjl::link
