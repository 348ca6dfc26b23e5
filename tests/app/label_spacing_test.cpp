// Every label ends the layout's spacing before its box, as drawn: the text
// is measured in the rendered window, in device pixels, so fonts that
// render wider than their metrics at some DPI are caught. ctest runs this
// at 96, 120 and 144 dpi.

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QTest>
#include <cmath>

#include "app/qt/wizard.h"
#include "app_test_support.h"
#include "link/device_link.h"
#include "wizard/layout.h"

namespace fjl::app {
namespace {

using testing::FakePortSource;
using testing::RecordingSink;

// The right-most column of the label's text in the rendered window.
int InkRight(const QImage& image, const QRect& device_rect, QRgb background) {
  const QRect area = device_rect.intersected(image.rect());
  for (int x = area.right(); x >= area.left(); --x) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
      if (qGray(image.pixel(x, y)) + 80 < qGray(background)) return x;
    }
  }
  return -1;
}

TEST(LabelSpacingTest, EveryLabelEndsTheLayoutSpacingBeforeItsBox) {
  port::ScopedPortDiscovery discovery(std::make_shared<FakePortSource>(std::vector<std::string>{"/dev/ttyS0"}));
  link::DeviceLink link([](const std::string&, std::int32_t) { return nullptr; });
  RecordingSink sink;
  Wizard wizard(link, sink);
  int checked = 0;
  for (QWidget* window : std::initializer_list<QWidget*>{&wizard.Form1, &wizard.Form2}) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    const QImage image = window->grab().toImage();
    const double ratio = image.devicePixelRatio();
    const QRgb background = window->palette().color(QPalette::Window).rgb();
    for (const QLabel* label : window->findChildren<QLabel*>()) {
      const QWidget* box = label->buddy();
      if (box == nullptr) continue;
      SCOPED_TRACE(label->text().toStdString() + " at device pixel ratio " + std::to_string(ratio));
      const QRect logical(label->mapTo(window, QPoint(0, 0)), label->size());
      // Up to the box's edge: a text running past the label would show there.
      const int box_left = static_cast<int>(std::floor(box->mapTo(window, QPoint(0, 0)).x() * ratio));
      const QRect band(static_cast<int>(logical.left() * ratio), static_cast<int>(logical.top() * ratio),
                       box_left - static_cast<int>(logical.left() * ratio), static_cast<int>(logical.height() * ratio));
      const int ink = InkRight(image, band, background);
      ASSERT_GE(ink, 0) << "no text drawn";
      EXPECT_GE(box_left - ink - 1, static_cast<int>(std::floor(wizard::kLabelGap * ratio)));
      ++checked;
    }
    window->hide();
  }
  EXPECT_EQ(checked, 5 + 21 + 7);
}

}  // namespace
}  // namespace fjl::app
