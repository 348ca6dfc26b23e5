#include "app/qt/progress_gauge.h"

#include <QPainter>

namespace fjl::app {

ProgressGauge::ProgressGauge(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ProgressGauge::SetRange(std::int32_t minimum, std::int32_t maximum) {
  const int shown = PercentDone();
  state_.SetRange(minimum, maximum);
  Redraw(shown);
}

void ProgressGauge::SetProgress(std::int32_t progress) {
  const int shown = PercentDone();
  state_.SetProgress(progress);
  Redraw(shown);
}

QString ProgressGauge::Text() const { return QString::fromStdString(state_.Text()); }

QSize ProgressGauge::sizeHint() const { return {200, 20}; }

void ProgressGauge::Redraw(int shown_percent) {
  if (PercentDone() != shown_percent) {
    // The restoration runs inside one handler, so the new percentage has to
    // be painted now.
    repaint();
  }
}

void ProgressGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect frame = rect().adjusted(0, 0, -1, -1);
  const QRect inside = rect().adjusted(1, 1, -1, -1);
  const int filled_width = state_.FilledWidth(inside.width());
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
