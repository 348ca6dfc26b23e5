#include "link/session_log.h"

#include <cstdio>
#include <system_error>

#include "platform/file_append.h"
#include "platform/local_time.h"
#include "platform/utf8_path.h"
#include "text/cp1251.h"

namespace fjl::link {
namespace {

// The log is read next to the program's other Windows-1251 files, so its
// Russian words are written in that code page; heads and bodies are already
// raw bytes (hexadecimal numbers, data texts, the printer's reply).
const std::string& SessionStartWords() {
  static const std::string words = text::Utf8ToCp1251(";Начало сеанса   ");
  return words;
}

const std::string& SessionEndWords() {
  static const std::string words = text::Utf8ToCp1251(";Конец Сеанса   ");
  return words;
}

std::string TimeStamp(const LocalTime& t) {
  char buffer[100];
  std::snprintf(buffer, sizeof buffer, "%2d-%02d-%4d %2d:%02d:%02d", t.day, t.month, t.year, t.hour,
                t.minute, t.second);
  return buffer;
}

std::filesystem::path CurrentDirectory() {
  std::error_code error;
  std::filesystem::path dir = std::filesystem::current_path(error);
  return error ? std::filesystem::path() : dir;
}

}  // namespace

LocalTime SystemLocalTime() { return platform::LocalCalendarTime(); }

SessionLog::SessionLog() : clock_(SystemLocalTime), directory_(CurrentDirectory), writer_(platform::AppendToFile) {}

void SessionLog::SetFileName(std::string name) {
  file_name_ = std::move(name);
  path_.clear();
  failed_ = false;
}

void SessionLog::SetWriter(LogWriter writer) { writer_ = std::move(writer); }

void SessionLog::SetFailureHandler(LogFailureHandler handler) { on_failure_ = std::move(handler); }

void SessionLog::SetClock(LocalTimeSource clock) { clock_ = std::move(clock); }

void SessionLog::SetDirectorySource(DirectorySource directory) {
  directory_ = std::move(directory);
  path_.clear();
}

std::string SessionLog::FormatEntry(const LocalTime& time, std::string_view head, std::string_view body) {
  std::string entry;
  if (head.empty()) {
    entry = SessionStartWords() + TimeStamp(time) + " \n";
  } else if (body.empty()) {
    entry = SessionEndWords() + TimeStamp(time) + " \n";
  } else {
    // Built up in place: g++ 12 at -O3 takes `";" + string` for an
    // overlapping copy (-Wrestrict).
    entry = ';';
    entry += TimeStamp(time);
    entry += "  ";
    entry.append(head);
    entry += '\n';
    entry.append(body);
    entry += '\n';
  }
  return entry;
}

void SessionLog::WriteSessionLog(std::string_view head, std::string_view body) {
  if (file_name_.empty()) return;
  if (path_.empty()) path_ = directory_() / platform::PathFromUtf8(file_name_);
  const platform::SystemResult written = writer_(path_, FormatEntry(clock_(), head, body));
  if (written || failed_) return;
  failed_ = true;
  if (on_failure_) on_failure_(written);
}

}  // namespace fjl::link
