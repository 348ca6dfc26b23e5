#include "app/qt/status_indicator.h"

#include <QPainter>

namespace fjl::app {

StatusIndicator::StatusIndicator(QWidget* parent) : QWidget(parent) {
  setFixedSize(sizeHint());
}

void StatusIndicator::SetColor(const QColor& color) {
  if (color_ != color) {
    color_ = color;
    update();
  }
}

QSize StatusIndicator::sizeHint() const { return {22, 22}; }

void StatusIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(color_);
  const QRectF square = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.drawRoundedRect(square, 5, 5);
}

}  // namespace fjl::app
