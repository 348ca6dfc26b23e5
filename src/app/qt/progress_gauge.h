#pragma once
// Horizontal gauge, black on white, with the percentage done written across
// it (wizard::GaugeState). It redraws only when the shown percentage
// changes, so a caller may feed it every record of a long walk.

#include <QString>
#include <QWidget>
#include <cstdint>

#include "wizard/gauge.h"

namespace fjl::app {

class ProgressGauge : public QWidget {
  Q_OBJECT
 public:
  explicit ProgressGauge(QWidget* parent = nullptr);

  std::int32_t Minimum() const { return state_.Minimum(); }
  std::int32_t Maximum() const { return state_.Maximum(); }
  std::int32_t Progress() const { return state_.Progress(); }
  void SetRange(std::int32_t minimum, std::int32_t maximum);
  void SetProgress(std::int32_t progress);

  int PercentDone() const { return state_.PercentDone(); }
  QString Text() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Redraw(int shown_percent);

  wizard::GaugeState state_;
};

}  // namespace fjl::app
