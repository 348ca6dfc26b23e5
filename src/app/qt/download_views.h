#pragma once
// The windows' side of a download: the result and status boxes, and the
// record counter boxes in the order the core numbers them.

#include <QLineEdit>
#include <QPointer>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/qt/busy_guard.h"
#include "tape/download_view.h"
#include "tape/record_counters.h"

namespace fjl::app {

// "Результат выполнения:" and "Статус регистратора:" of one step window.
class BoxDownloadView : public tape::DownloadView {
 public:
  BoxDownloadView(QLineEdit& result_box, QLineEdit& status_box)
      : result_box_(result_box), status_box_(status_box) {}

  void SetResult(std::string_view text) override;
  void SetStatus(std::string_view text) override;
  // The handler holds the event loop for the whole download: let the window
  // repaint after every chunk, but take no input.
  void ShowProgress(std::int64_t bytes_stored, std::int64_t window_size) override;

 private:
  QLineEdit& result_box_;
  QLineEdit& status_box_;
};

// Box i of the core's table is the window's box for that table entry's kind.
class CounterBoxesView : public tape::RecordCounterView {
 public:
  // `box_for_kind` gives the window's box of a record kind, or of
  // tape::kTotalKind for "Всего:".
  CounterBoxesView(std::span<const tape::CounterBox> boxes,
                   const std::function<QLineEdit*(int kind)>& box_for_kind);

  std::string CounterText(std::size_t box) const override;
  // Written and painted at once: the counts move while the download runs.
  void SetCounterText(std::size_t box, std::string_view text) override;

  QLineEdit* Box(std::size_t box) const;

 private:
  std::vector<QPointer<QLineEdit>> boxes_;
};

// Runs one download with the window busy. `show_buttons` sets the step's
// buttons for the running phase first and, however the download ends (an
// error escaping included), for its outcome afterwards.
template <class ShowButtons, class Download>
void RunBusyDownload(ShowButtons show_buttons, Download download) {
  BusyGuard busy;
  show_buttons(tape::DownloadPhase::Running);
  tape::DownloadPhase after = tape::DownloadPhase::Failed;
  struct SetButtonsAtEnd {
    ShowButtons& show;
    const tape::DownloadPhase& phase;
    ~SetButtonsAtEnd() { show(phase); }
  } at_end{show_buttons, after};
  after = tape::PhaseAfter(download());
}

}  // namespace fjl::app
