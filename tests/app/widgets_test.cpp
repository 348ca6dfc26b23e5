// The small pieces the windows are built from: gauge, tape text box, error
// guard, message boxes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <climits>
#include <stdexcept>

#include "app/qt/guarded_application.h"
#include "app/qt/progress_gauge.h"
#include "app/qt/qt_message_sink.h"
#include "app/qt/russian_texts.h"
#include "app/qt/tape_text_box.h"
#include "app/qt/wizard.h"
#include "link/device_link.h"
#include "app_test_support.h"

namespace fjl::app {
namespace {

using testing::RecordingSink;

using testing::PaintCounter;

TEST(ProgressGaugeTest, ShowsTheClampedProgressAndItsPercent) {
  ProgressGauge gauge;
  gauge.SetRange(0, 3);
  gauge.SetProgress(2);
  EXPECT_EQ(gauge.Text(), "66%");
  gauge.SetProgress(500);
  EXPECT_EQ(gauge.Progress(), 3);
  EXPECT_EQ(gauge.Text(), "100%");
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

// What the presenters set through the view reaches each kind of control,
// and reads back as set.
TEST(StepFormTest, TextsReachEachKindOfControl) {
  using wizard::Step1Control;
  RecordingSink sink;
  link::DeviceLink link([](const std::string&, std::int32_t) { return nullptr; });
  Wizard wizard(link, sink);
  TForm1& form1 = wizard.Form1;
  form1.SetText(Step1Control::PasswordBox, "123456");
  form1.SetText(Step1Control::ConnectButton, "Отключить");
  const std::vector<std::string> speeds = {"9600", "19200"};
  form1.SetListItems(Step1Control::SpeedList, speeds, 0);
  form1.SetText(Step1Control::SpeedList, "19200");
  EXPECT_EQ(testing::Utf8(form1.PasswordBox()->text()), "123456");
  EXPECT_EQ(testing::Utf8(form1.ConnectButton()->text()), "Отключить");
  EXPECT_EQ(form1.SpeedList()->currentIndex(), 1);
  EXPECT_EQ(form1.Text(Step1Control::PasswordBox), "123456");
  EXPECT_EQ(form1.Text(Step1Control::ConnectButton), "Отключить");
  EXPECT_EQ(form1.Text(Step1Control::SpeedList), "19200");

  wizard.Form3.SetText(wizard::Step3Control::TapeText, "ЧЕК 1\nИТОГ");
  EXPECT_EQ(wizard.Form3.TapeLines(), (std::vector<std::string>{"ЧЕК 1", "ИТОГ"}));
  EXPECT_EQ(wizard.Form3.Text(wizard::Step3Control::TapeText), "ЧЕК 1\nИТОГ");
}

// An error no handler caught shows in the step window's error box, and the
// button still works afterwards.
TEST(GuardTest, AButtonHandlerThatThrowsLeavesTheButtonUsable) {
  RecordingSink sink;
  link::DeviceLink link([](const std::string&, std::int32_t) -> std::unique_ptr<serial::SerialChannel> {
    throw std::invalid_argument("bad number");
  });
  Wizard wizard(link, sink);
  wizard.Form1.ConnectButton()->click();
  wizard.Form1.ConnectButton()->click();
  EXPECT_EQ(sink.errors, (std::vector<std::string>{"bad number", "bad number"}));
  EXPECT_EQ(sink.titles.front(), "Чтение контрольной ленты (Varkon KM-L710, KM-5820L). Шаг 1.");
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
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QList<QAbstractButton*>::size_type buttons = 0;
  QMessageBox::StandardButtons standard;
  QStringList button_texts;
  QMessageBox::StandardButton default_button = QMessageBox::NoButton;
};

// Shows a box, looks at it, and answers it with `answer`.
SeenBox ShowAndInspect(const std::function<void()>& show,
                       QMessageBox::StandardButton answer = QMessageBox::Ok) {
  SeenBox seen;
  QTimer::singleShot(0, [&seen, answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    seen.found = true;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    seen.buttons = box->buttons().size();
    seen.standard = box->standardButtons();
    for (QAbstractButton* button : box->buttons()) seen.button_texts << button->text();
    if (box->defaultButton() != nullptr) seen.default_button = box->standardButton(box->defaultButton());
    box->button(answer)->click();
  });
  show();
  return seen;
}

// A box carries the caption of the step window it comes over.
TEST(QtMessageBoxesTest, MessagesAreModalBoxesWithOneOkButtonNoIconAndTheWindowsCaption) {
  QtMessageBoxes boxes;
  QWidget window;
  window.setWindowTitle(QString::fromUtf8("Чтение вспомогательных данных. Шаг 2."));
  const SeenBox seen = ShowAndInspect([&] { boxes.ShowMessage(&window, "Невозможно подключить порт"); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title.toStdString(), "Чтение вспомогательных данных. Шаг 2.");
  EXPECT_EQ(seen.text.toStdString(), "Невозможно подключить порт");
  EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_EQ(seen.standard, QMessageBox::Ok);
}

TEST(QtMessageBoxesTest, UnhandledErrorsUseTheCriticalBox) {
  QtMessageBoxes boxes;
  QWidget window;
  window.setWindowTitle(QString::fromUtf8("Восстановление контрольной ленты. Шаг 3."));
  const SeenBox seen = ShowAndInspect([&] { boxes.ShowError(&window, "Диск заполнен"); });
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.title.toStdString(), "Восстановление контрольной ленты. Шаг 3.");
  EXPECT_EQ(seen.text.toStdString(), "Диск заполнен");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.standard, QMessageBox::Ok);
}

TEST(QtMessageBoxesTest, AQuestionIsYesOrNoWithNoAsTheDefault) {
  QtMessageBoxes boxes;
  QWidget window;
  bool answer = true;
  SeenBox seen = ShowAndInspect([&] { answer = boxes.AskYesNo(&window, "Прервать чтение?"); }, QMessageBox::No);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.standard, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(seen.default_button, QMessageBox::No) << "a stray Enter does not end an hour's download";
  EXPECT_FALSE(answer);
  seen = ShowAndInspect([&] { answer = boxes.AskYesNo(&window, "Прервать чтение?"); }, QMessageBox::Yes);
  EXPECT_TRUE(answer);
}

// Once a box closes, the control that had the focus has it again, so Enter
// presses that button rather than landing nowhere (or in the tape box).
TEST(QtMessageBoxesTest, TheFocusGoesBackWhereItWasWhenTheBoxCloses) {
  QtMessageBoxes boxes;
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* first = new QPushButton("first", &window);
  auto* second = new QPushButton("second", &window);
  layout->addWidget(first);
  layout->addWidget(second);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  for (const bool ask : {false, true}) {
    SCOPED_TRACE(ask ? "question" : "message");
    second->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), second);
    const SeenBox seen = ShowAndInspect([&] {
      if (ask) {
        boxes.AskYesNo(&window, "Прервать чтение?");
      } else {
        boxes.ShowMessage(&window, "Невозможно подключить порт");
      }
    }, ask ? QMessageBox::No : QMessageBox::Ok);
    ASSERT_TRUE(seen.found);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::focusWidget(), second);
  }
}

// With Qt's own Russian catalogue the standard buttons speak Russian too.
TEST(QtMessageBoxesTest, TheQuestionsButtonsSpeakRussianWithQtsCatalogue) {
  QTranslator translator;
  if (!InstallRussianQtTexts(translator)) GTEST_SKIP() << "Qt's Russian catalogue is not installed";
  QtMessageBoxes boxes;
  const SeenBox seen = ShowAndInspect([&] { boxes.AskYesNo(nullptr, "Прервать чтение?"); }, QMessageBox::No);
  QCoreApplication::removeTranslator(&translator);
  ASSERT_TRUE(seen.found);
  QStringList texts = seen.button_texts;
  for (QString& text : texts) text.remove(u'&');
  texts.sort();
  EXPECT_EQ(texts, (QStringList{QString::fromUtf8("Да"), QString::fromUtf8("Нет")}));
}

}  // namespace
}  // namespace fjl::app
