#pragma once
// What the GUI tests share: a message sink that records instead of showing
// boxes, a log of window closings, a fake port list and a pseudo-terminal.

#include <pty.h>
#include <unistd.h>

#include <QEvent>
#include <QObject>
#include <QString>
#include <QWidget>
#include <deque>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/qt/qt_message_sink.h"
#include "port/port_control.h"
#include "port/port_discovery.h"
#include "user/message_sink.h"

namespace fjl::app::testing {

// One ordered log for messages and window closings, so a test can see which
// came first.
struct EventLog {
  std::vector<std::string> entries;
};

// Records the boxes instead of showing them: their texts, and the title each
// would carry (its window's caption). Questions are answered from `answers`,
// "no" once they run out.
class RecordingSink : public MessageSink, public MessageBoxes {
 public:
  explicit RecordingSink(EventLog* log = nullptr) : log_(log) {}
  void ShowMessage(std::string_view text) override {
    messages.emplace_back(text);
    Log("message: " + std::string(text));
  }
  void ShowError(std::string_view text) override {
    errors.emplace_back(text);
    Log("error: " + std::string(text));
  }
  void ShowMessage(QWidget* owner, std::string_view text) override {
    titles.push_back(TitleOf(owner));
    ShowMessage(text);
  }
  void ShowError(QWidget* owner, std::string_view text) override {
    titles.push_back(TitleOf(owner));
    ShowError(text);
  }
  bool AskYesNo(QWidget* owner, std::string_view text) override {
    titles.push_back(TitleOf(owner));
    questions.emplace_back(text);
    Log("question: " + std::string(text));
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::vector<std::string> messages;
  std::vector<std::string> errors;
  std::vector<std::string> questions;
  std::vector<std::string> titles;
  std::deque<bool> answers;

 private:
  static std::string TitleOf(QWidget* owner) {
    return owner != nullptr ? owner->window()->windowTitle().toStdString() : std::string("<no window>");
  }
  void Log(const std::string& entry) {
    if (log_ != nullptr) log_->entries.push_back(entry);
  }
  EventLog* log_;
};

// Writes "closed: <name>" to the log for every close event of the watched
// window.
class CloseWatcher : public QObject {
 public:
  CloseWatcher(QWidget& window, std::string name, EventLog& log)
      : name_(std::move(name)), log_(log) {
    window.installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Close) log_.entries.push_back("closed: " + name_);
    return false;
  }

 private:
  std::string name_;
  EventLog& log_;
};

class FakePortSource : public port::PortDeviceSource {
 public:
  explicit FakePortSource(std::optional<std::vector<std::string>> names)
      : names_(std::move(names)) {}
  std::optional<std::vector<port::PortDevice>> ListDevices() override {
    ++listings;
    if (!names_) return std::nullopt;
    std::vector<port::PortDevice> devices;
    for (const std::string& name : *names_) devices.push_back({name, nullptr});
    return devices;
  }
  void SetNames(std::optional<std::vector<std::string>> names) { names_ = std::move(names); }
  int listings = 0;

 private:
  std::optional<std::vector<std::string>> names_;
};

// A pseudo-terminal whose slave path stands for a serial port. The master
// end stays open so the slave can be opened by the program under test.
class PtyPair {
 public:
  PtyPair() {
    int slave = -1;
    char name[128] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) {
      throw std::runtime_error("openpty failed");
    }
    path_ = name;
    ::close(slave);
  }
  ~PtyPair() { CloseMaster(); }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& Path() const { return path_; }
  // The far end goes away, like a pulled adapter.
  void CloseMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string path_;
};

inline std::string Utf8(const QString& text) { return text.toStdString(); }

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

}  // namespace fjl::app::testing
