#include "app/qt/window_style.h"

#include <QFont>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace fjl::app {
namespace {

constexpr int kCounterBoxWidth = 46;
constexpr int kButtonTextMargin = 12;  // each side, so captions never touch the frame

// Buttons are created before the window's font is set, so their widths are
// settled here, once the face they will be drawn in is known.
void FitButtonsToCaptions(QWidget& window) {
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    const int needed = button->fontMetrics().horizontalAdvance(button->text()) + 2 * kButtonTextMargin;
    if (button->minimumWidth() < needed) button->setMinimumWidth(needed);
  }
}

void CentreOnScreen(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    return;
  }
  const QRect area = screen->availableGeometry();
  window.move(area.x() + (area.width() - window.width()) / 2,
              area.y() + (area.height() - window.height()) / 2);
}

}  // namespace

void ApplyStepWindowStyle(QWidget& window, const QString& caption, QSize client_size) {
  // CustomizeWindowHint with only the title hint drops close, minimise,
  // maximise and the system menu.
  window.setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  window.setWindowTitle(caption);
  // The layouts are sized for a narrow dialog face; the Arial-metric
  // families keep the long counter labels of step 1 within the window, and
  // any other sans-serif face still fits.
  QFont font(QStringLiteral("Sans Serif"), 8);
  font.setFamilies({QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                    QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                    QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  window.setFont(font);
  FitButtonsToCaptions(window);
  window.setFixedSize(client_size);
  CentreOnScreen(window);
}

QLineEdit* MakeCounterBox(QWidget* parent) {
  auto* box = new QLineEdit(QStringLiteral("0"), parent);
  box->setFixedWidth(kCounterBoxWidth);
  return box;
}

QLineEdit* MakeReplyBox(QWidget* parent, int width) {
  auto* box = new QLineEdit(parent);
  box->setReadOnly(true);
  box->setFixedWidth(width);
  return box;
}

}  // namespace fjl::app
