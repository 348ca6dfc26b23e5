#include "app/qt/progress_gauge.h"

#include <QPainter>
#include <algorithm>

namespace fjl::app {
namespace {

// 64-bit, so a full 32-bit range times 100 cannot overflow.
std::int64_t Share(std::int64_t done, std::int64_t range, std::int64_t scale) {
  return range <= 0 ? 0 : done * scale / range;
}

}  // namespace

ProgressGauge::ProgressGauge(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProgressGauge::SetRange(std::int32_t minimum, std::int32_t maximum) {
  const int shown = PercentDone();
  minimum_ = minimum;
  maximum_ = std::max(minimum, maximum);
  progress_ = std::clamp(progress_, minimum_, maximum_);
  Redraw(shown);
}

void ProgressGauge::SetProgress(std::int32_t progress) {
  const int shown = PercentDone();
  progress_ = std::clamp(progress, minimum_, maximum_);
  Redraw(shown);
}

int ProgressGauge::PercentDone() const {
  return static_cast<int>(Share(std::int64_t{progress_} - minimum_,
                                std::int64_t{maximum_} - minimum_, 100));
}

QString ProgressGauge::Text() const { return QStringLiteral("%1%").arg(PercentDone()); }

QSize ProgressGauge::sizeHint() const { return {200, 20}; }

void ProgressGauge::Redraw(int shown_percent) {
  if (PercentDone() != shown_percent) {
    // The restoration runs inside one handler with no event loop turning,
    // so the new percentage has to be painted now.
    repaint();
  }
}

void ProgressGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  const QRect inside = rect().adjusted(1, 1, -1, -1);
  const auto filled_width = static_cast<int>(
      Share(std::int64_t{progress_} - minimum_, std::int64_t{maximum_} - minimum_,
            inside.width()));
  const QRect filled(inside.left(), inside.top(), filled_width, inside.height());
  const QRect empty(inside.left() + filled_width, inside.top(), inside.width() - filled_width,
                    inside.height());

  painter.fillRect(inside, Qt::white);
  painter.fillRect(filled, Qt::black);
  painter.setPen(Qt::black);
  painter.drawRect(frame);

  // The text reads black over the white part and white over the black part.
  const QString text = Text();
  painter.setClipRect(empty);
  painter.setPen(Qt::black);
  painter.drawText(inside, Qt::AlignCenter, text);
  painter.setClipRect(filled);
  painter.setPen(Qt::white);
  painter.drawText(inside, Qt::AlignCenter, text);
}

}  // namespace fjl::app
