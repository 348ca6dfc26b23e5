// The small pieces the windows are built from: gauge, tape text box, error
// guard, message boxes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <climits>
#include <stdexcept>

#include "app/qt/guarded.h"
#include "app/qt/guarded_application.h"
#include "app/qt/progress_gauge.h"
#include "app/qt/qt_message_sink.h"
#include "app/qt/tape_text_box.h"
#include "app_test_support.h"

namespace fjl::app {
namespace {

using testing::RecordingSink;

class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

TEST(ProgressGaugeTest, PercentIsTruncatedAndProgressClamped) {
  struct Case {
    std::int32_t minimum, maximum, progress;
    std::int32_t shown_progress;
    int percent;
  };
  const Case cases[] = {
      {0, 100, 0, 0, 0},
      {0, 200, 50, 50, 25},
      {0, 3, 2, 2, 66},           // 66.6 is cut, not rounded
      {0, 200, 500, 200, 100},    // above the range
      {0, 200, -3, 0, 0},         // below it
      {10, 20, 15, 15, 50},       // the minimum counts
      {0, 0, 5, 0, 0},            // an empty tape: nothing to show
      {0, INT32_MAX, INT32_MAX / 2, INT32_MAX / 2, 49},  // no overflow
      {0, INT32_MAX, INT32_MAX, INT32_MAX, 100},
  };
  for (const Case& c : cases) {
    ProgressGauge gauge;
    gauge.SetRange(c.minimum, c.maximum);
    gauge.SetProgress(c.progress);
    EXPECT_EQ(gauge.Progress(), c.shown_progress) << c.maximum << " " << c.progress;
    EXPECT_EQ(gauge.PercentDone(), c.percent) << c.maximum << " " << c.progress;
    EXPECT_EQ(gauge.Text(), QString::number(c.percent) + "%");
  }
}

TEST(ProgressGaugeTest, NarrowingTheRangeClampsTheProgressAlreadySet) {
  ProgressGauge gauge;
  gauge.SetProgress(80);
  gauge.SetRange(0, 40);
  EXPECT_EQ(gauge.Progress(), 40);
  gauge.SetRange(50, 10);  // a maximum below the minimum is raised to it
  EXPECT_EQ(gauge.Maximum(), 50);
  EXPECT_EQ(gauge.Progress(), 50);
}

TEST(ProgressGaugeTest, RedrawsOnlyWhenTheShownPercentChanges) {
  QWidget window;
  auto* gauge = new ProgressGauge(&window);
  gauge->setGeometry(0, 0, 200, 20);
  window.resize(200, 20);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QApplication::processEvents();
  PaintCounter counter(*gauge);

  gauge->SetRange(0, 1000000);
  for (std::int32_t position = 0; position < 10000; position += 7) gauge->SetProgress(position);
  EXPECT_EQ(counter.paints, 0) << "still 0%";
  gauge->SetProgress(10000);
  EXPECT_EQ(counter.paints, 1) << "1% must be painted at once, without the event loop";
  for (std::int32_t position = 0; position <= 1000000; position += 13) gauge->SetProgress(position);
  EXPECT_LE(counter.paints, 102);
  EXPECT_GE(counter.paints, 100);
}

TEST(ProgressGaugeTest, DrawsBlackOnWhite) {
  ProgressGauge gauge;
  gauge.resize(200, 20);
  gauge.SetRange(0, 100);
  gauge.SetProgress(50);
  const QImage image = gauge.grab().toImage();
  // Away from the centred text: the done half black, the rest white.
  EXPECT_EQ(QColor(image.pixel(10, 10)), QColor(Qt::black));
  EXPECT_EQ(QColor(image.pixel(190, 10)), QColor(Qt::white));
  gauge.SetProgress(0);
  const QImage empty = gauge.grab().toImage();
  EXPECT_EQ(QColor(empty.pixel(10, 10)), QColor(Qt::white));
}

TEST(TapeTextBoxTest, StartsAsOneEmptyLineAndAppendsAfterIt) {
  TapeTextBox box;
  EXPECT_EQ(box.Lines(), std::vector<std::string>{""});
  box.AppendLine("Контрольная лента.");
  box.AppendLine("     ИТОГ 12.50");
  EXPECT_EQ(box.LineCount(), 3);
  EXPECT_EQ(box.Lines(), (std::vector<std::string>{"", "Контрольная лента.", "     ИТОГ 12.50"}));
  EXPECT_EQ(box.LineAt(1), "Контрольная лента.");
  EXPECT_EQ(box.LineAt(3), "");
  EXPECT_EQ(box.LineAt(-1), "");
  EXPECT_EQ(box.toPlainText(), QString::fromUtf8("\nКонтрольная лента.\n     ИТОГ 12.50"));
}

TEST(TapeTextBoxTest, AppendingAnEmptyLineAddsALine) {
  TapeTextBox box;
  box.AppendLine("");
  box.AppendLine("");
  EXPECT_EQ(box.LineCount(), 3);
}

TEST(GuardTest, AnEscapingErrorGoesToTheErrorBoxAndTheHandlerEnds) {
  RecordingSink sink;
  int reached = 0;
  RunGuarded(sink, [&] {
    ++reached;
    throw std::runtime_error("Ошибка записи");
  });
  RunGuarded(sink, [] { throw 42; });
  RunGuarded(sink, [&] { ++reached; });
  EXPECT_EQ(reached, 2);
  EXPECT_EQ(sink.errors, (std::vector<std::string>{"Ошибка записи", kUnknownErrorText}));
  EXPECT_TRUE(sink.messages.empty());
}

TEST(GuardTest, AButtonHandlerThatThrowsLeavesTheButtonUsable) {
  RecordingSink sink;
  QWidget window;
  QPushButton button("x", &window);
  int clicks = 0;
  ConnectGuarded(&button, &window, sink, [&] {
    if (++clicks == 1) throw std::invalid_argument("bad number");
  });
  button.click();
  button.click();
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(sink.errors, std::vector<std::string>{"bad number"});
}

TEST(GuardTest, TheApplicationCatchesWhatAnyEventHandlerThrows) {
  class Throwing : public QObject {
   public:
    bool event(QEvent* event) override {
      if (event->type() == QEvent::User) throw std::runtime_error("from an event");
      return QObject::event(event);
    }
  };
  auto* application = qobject_cast<GuardedApplication*>(QCoreApplication::instance());
  ASSERT_NE(application, nullptr);
  RecordingSink sink;
  application->SetMessages(&sink);
  Throwing target;
  QEvent event(QEvent::User);
  QCoreApplication::sendEvent(&target, &event);
  application->SetMessages(nullptr);
  EXPECT_EQ(sink.errors, std::vector<std::string>{"from an event"});
}

struct SeenBox {
  bool found = false;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QList<QAbstractButton*>::size_type buttons = 0;
  QMessageBox::StandardButtons standard;
};

SeenBox ShowAndInspect(const std::function<void(QtMessageSink&)>& show) {
  SeenBox seen;
  QTimer::singleShot(0, [&seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen.found = true;
    seen.text = box->text();
    seen.icon = box->icon();
    seen.buttons = box->buttons().size();
    seen.standard = box->standardButtons();
    box->accept();
  });
  QtMessageSink sink;
  show(sink);
  return seen;
}

TEST(QtMessageSinkTest, MessagesAreModalBoxesWithOneOkButtonAndNoIcon) {
  const SeenBox seen =
      ShowAndInspect([](QtMessageSink& sink) { sink.ShowMessage("Невозможно подключить порт"); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text.toStdString(), "Невозможно подключить порт");
  EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_EQ(seen.standard, QMessageBox::Ok);
}

TEST(QtMessageSinkTest, UnhandledErrorsUseTheCriticalBox) {
  const SeenBox seen = ShowAndInspect([](QtMessageSink& sink) { sink.ShowError("Диск заполнен"); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text.toStdString(), "Диск заполнен");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.standard, QMessageBox::Ok);
}

}  // namespace
}  // namespace fjl::app
