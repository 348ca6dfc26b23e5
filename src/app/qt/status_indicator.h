#pragma once
// The small rounded square beside the connect button. Its colour is the
// connection state: red disconnected, pure green connected.

#include <QColor>
#include <QWidget>

namespace fjl::app {

class StatusIndicator : public QWidget {
  Q_OBJECT
 public:
  explicit StatusIndicator(QWidget* parent = nullptr);

  QColor Color() const { return color_; }
  void SetColor(const QColor& color);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_ = QColor(255, 0, 0);
};

}  // namespace fjl::app
