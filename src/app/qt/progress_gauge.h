#pragma once
// Horizontal gauge, black on white, with the percentage done written across
// it. Progress outside the range is clamped. It redraws only when the shown
// percentage changes, so a caller may feed it every record of a long walk.

#include <QString>
#include <QWidget>
#include <cstdint>

namespace fjl::app {

class ProgressGauge : public QWidget {
  Q_OBJECT
 public:
  explicit ProgressGauge(QWidget* parent = nullptr);

  std::int32_t Minimum() const { return minimum_; }
  std::int32_t Maximum() const { return maximum_; }
  std::int32_t Progress() const { return progress_; }
  // A maximum below the minimum is raised to it.
  void SetRange(std::int32_t minimum, std::int32_t maximum);
  void SetProgress(std::int32_t progress);

  // Whole percent done, truncated; 0 for an empty range.
  int PercentDone() const;
  QString Text() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Redraw(int shown_percent);

  std::int32_t minimum_ = 0;
  std::int32_t maximum_ = 100;
  std::int32_t progress_ = 0;
};

}  // namespace fjl::app
