// What the three windows look like when the program starts.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <map>

#include "app/qt/progress_gauge.h"
#include "app/qt/status_indicator.h"
#include "app/qt/tape_text_box.h"
#include "app/qt/wizard.h"
#include "app_test_support.h"
#include "link/device_link.h"

namespace fjl::app {
namespace {

using testing::FakePortSource;
using testing::RecordingSink;
using testing::Utf8;

class InitialStateTest : public ::testing::Test {
 protected:
  port::ScopedPortDiscovery discovery_{
      std::make_shared<FakePortSource>(std::vector<std::string>{"/dev/ttyS0", "/dev/ttyUSB0"})};

  link::DeviceLink link_{[](const std::string&, std::int32_t) { return nullptr; }};
  RecordingSink sink_;
  Wizard wizard_{link_, sink_};
};

std::string LabelOf(const QWidget* box) {
  for (const QLabel* label : box->window()->findChildren<QLabel*>()) {
    if (label->buddy() == box) return Utf8(label->text());
  }
  return "<no label>";
}

const QLabel* LabelWidgetOf(const QWidget* box) {
  for (const QLabel* label : box->window()->findChildren<QLabel*>()) {
    if (label->buddy() == box) return label;
  }
  return nullptr;
}

TEST_F(InitialStateTest, WindowsHaveTheirCaptionsSizesAndToolStyle) {
  struct Case {
    QWidget* window;
    std::string caption;
    QSize size;
  };
  const Case cases[] = {
      {&wizard_.Form1, "Чтение контрольной ленты (Varkon KM-L710, KM-5820L). Шаг 1.", {784, 432}},
      {&wizard_.Form2, "Чтение вспомогательных данных. Шаг 2.", {409, 432}},
      {&wizard_.Form3, "Восстановление контрольной ленты. Шаг 3.", {632, 473}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.caption);
    EXPECT_EQ(Utf8(c.window->windowTitle()), c.caption);
    EXPECT_EQ(c.window->size(), c.size);
    EXPECT_EQ(c.window->minimumSize(), c.size) << "must not be resizable";
    EXPECT_EQ(c.window->maximumSize(), c.size) << "must not be resizable";
    const Qt::WindowFlags flags = c.window->windowFlags();
    EXPECT_EQ(c.window->windowType(), Qt::Tool);
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_EQ(c.window->font().pointSize(), 8);
    EXPECT_EQ(c.window->font().styleHint(), QFont::SansSerif);
    EXPECT_FALSE(c.window->isVisible());
  }
}

TEST_F(InitialStateTest, Step1ControlsStartAsTheUserFirstSeesThem) {
  TForm1& form = wizard_.Form1;
  EXPECT_EQ(LabelOf(form.PortList()), "Последовательный порт:");
  EXPECT_EQ(LabelOf(form.SpeedList()), "Скорость порта (бод):");
  EXPECT_EQ(LabelOf(form.ResultBox()), "Результат выполнения:");
  EXPECT_EQ(LabelOf(form.StatusBox()), "Статус регистратора:");
  EXPECT_EQ(LabelOf(form.PasswordBox()), "Пароль:");

  EXPECT_FALSE(form.PortList()->isEditable());
  EXPECT_FALSE(form.SpeedList()->isEditable());
  QStringList speeds;
  for (int i = 0; i < form.SpeedList()->count(); ++i) speeds << form.SpeedList()->itemText(i);
  EXPECT_EQ(speeds, (QStringList{"110", "300", "600", "1200", "2400", "4800", "9600", "19200",
                                 "38400", "57600", "115200"}));
  EXPECT_EQ(form.SpeedList()->currentText(), "9600");

  EXPECT_TRUE(form.ResultBox()->isReadOnly());
  EXPECT_TRUE(form.ResultBox()->text().isEmpty());
  EXPECT_TRUE(form.StatusBox()->isReadOnly());
  EXPECT_TRUE(form.StatusBox()->text().isEmpty());
  EXPECT_FALSE(form.PasswordBox()->isReadOnly());
  EXPECT_EQ(form.PasswordBox()->text(), "482913");

  EXPECT_EQ(form.Indicator()->Color(), QColor(255, 0, 0));
  EXPECT_FALSE(wizard_.Steps.step1.Connected());

  struct ButtonCase {
    QPushButton* button;
    std::string caption;
    bool enabled;
  };
  const ButtonCase buttons[] = {
      {form.ConnectButton(), "Подключить", true},
      {form.ReadTapeButton(), "Читать эл. контр. ленту", false},
      {form.FinishButton(), "Завершить", true},
      {form.NextButton(), "Дальше ->", false},
  };
  for (const ButtonCase& b : buttons) {
    EXPECT_EQ(Utf8(b.button->text()), b.caption);
    EXPECT_EQ(b.button->isEnabled(), b.enabled) << b.caption;
  }
}

TEST_F(InitialStateTest, RecordTypeCountersCarryTheirLabelsAndStartAtZero) {
  TForm1& form = wizard_.Form1;
  EXPECT_EQ(Utf8(form.RecordTypesGroup()->title()), "Типы записей");
  const std::map<int, std::string> expected = {
      {0, "Открытие чека:"},
      {1, "Закрытие чека:"},
      {2, "Печать итога:"},
      {3, "Частичная оплата:"},
      {4, "Оплата окончательная:"},
      {5, "Продажа товара::"},
      {6, "Процен. надбав-скидка:"},
      {7, "Стоим. надбав-скидка:"},
      {8, "Процен. надбав-скидка на сумму:"},
      {9, "Стоим. надбав-скидка на сумму:"},
      {10, "Процен. надбав-скидка по налогу:"},
      {11, "Стоим. надбав-скидка по налогу:"},
      {12, "Задание номера отдела:"},
      {14, "Аннулирование товара:"},
      {15, "Аннулирование чека:"},
      {16, "Служебное внесение, выдача:"},
      {17, "Коментарий (фиск. чек):"},
      {18, "Печать штрих-кода:"},
      {19, "Открытие произвольного документа:"},
      {20, "Закрытие произвольного документа:"},
  };
  for (int type = -1; type <= 21; ++type) {
    SCOPED_TRACE(type);
    QLineEdit* box = form.CounterBox(type);
    const auto label = expected.find(type);
    if (label == expected.end()) {
      EXPECT_EQ(box, nullptr);
      continue;
    }
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(LabelOf(box), label->second);
    EXPECT_EQ(box->text(), "0");
    EXPECT_FALSE(box->isReadOnly()) << "counters are ordinary editable boxes";
    EXPECT_EQ(box->parentWidget(), form.RecordTypesGroup());
  }
  EXPECT_EQ(LabelOf(form.TotalBox()), "Всего:");
  EXPECT_EQ(form.TotalBox()->text(), "0");
  EXPECT_EQ(form.RecordTypesGroup()->findChildren<QLineEdit*>().size(), 21);
}

TEST_F(InitialStateTest, RecordTypeCountersStandInThreeColumnsOfSeven) {
  TForm1& form = wizard_.Form1;
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  const std::vector<std::vector<QLineEdit*>> columns = {
      {form.CounterBox(0), form.CounterBox(1), form.CounterBox(2), form.CounterBox(3),
       form.CounterBox(4), form.CounterBox(5), form.CounterBox(6)},
      {form.CounterBox(7), form.CounterBox(8), form.CounterBox(9), form.CounterBox(10),
       form.CounterBox(11), form.CounterBox(12), form.CounterBox(14)},
      {form.CounterBox(15), form.CounterBox(16), form.CounterBox(17), form.CounterBox(18),
       form.CounterBox(19), form.CounterBox(20), form.TotalBox()},
  };
  const QRect group = form.RecordTypesGroup()->rect();
  for (std::size_t c = 0; c < columns.size(); ++c) {
    for (std::size_t r = 0; r < columns[c].size(); ++r) {
      SCOPED_TRACE("column " + std::to_string(c) + " row " + std::to_string(r));
      QLineEdit* box = columns[c][r];
      const QLabel* label = LabelWidgetOf(box);
      ASSERT_NE(label, nullptr);
      // Same column: same left edge. Same row: same top as the first column.
      EXPECT_EQ(box->x(), columns[c][0]->x());
      EXPECT_EQ(box->y(), columns[0][r]->y());
      if (r > 0) {
        EXPECT_GT(box->y(), columns[c][r - 1]->y());
      }
      if (c > 0) {
        EXPECT_GT(label->x(), columns[c - 1][r]->geometry().right());
      }
      // The label stands left of its box, whole and on the same line.
      EXPECT_LT(label->geometry().right(), box->x());
      EXPECT_GE(label->width(), label->sizeHint().width()) << "label clipped";
      EXPECT_LE(std::abs(label->geometry().center().y() - box->geometry().center().y()), 3);
      EXPECT_TRUE(group.contains(box->geometry())) << "box outside the group";
    }
  }
  form.hide();
}

TEST_F(InitialStateTest, NoControlIsClippedOrOutsideItsWindow) {
  for (QWidget* window : std::initializer_list<QWidget*>{&wizard_.Form1, &wizard_.Form2,
                                                         &wizard_.Form3}) {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    for (const QWidget* child : window->findChildren<QWidget*>()) {
      if (!child->isVisible() || child->parentWidget() == nullptr) continue;
      const QRect in_window(child->mapTo(window, QPoint(0, 0)), child->size());
      EXPECT_TRUE(window->rect().contains(in_window))
          << Utf8(window->windowTitle()) << ": " << child->metaObject()->className();
      if (const auto* label = qobject_cast<const QLabel*>(child)) {
        EXPECT_GE(label->width(), label->sizeHint().width()) << Utf8(label->text());
      }
      if (const auto* button = qobject_cast<const QPushButton*>(child)) {
        EXPECT_GE(button->width(), button->sizeHint().width()) << Utf8(button->text());
      }
    }
    window->hide();
  }
}

TEST_F(InitialStateTest, Step2ControlsStartAsTheUserFirstSeesThem) {
  TForm2& form = wizard_.Form2;
  const std::string labels[] = {"Информация о параметрах товара:", "Запись об отделе:",
                                "Запись об единице измерения:", "Комментарий:"};
  for (int kind = 0; kind < 4; ++kind) {
    ASSERT_NE(form.CounterBox(kind), nullptr);
    EXPECT_EQ(LabelOf(form.CounterBox(kind)), labels[kind]);
    EXPECT_EQ(form.CounterBox(kind)->text(), "0");
    EXPECT_FALSE(form.CounterBox(kind)->isReadOnly());
  }
  EXPECT_EQ(form.CounterBox(4), nullptr);
  EXPECT_EQ(form.CounterBox(-1), nullptr);
  EXPECT_EQ(LabelOf(form.TotalBox()), "Всего:");
  EXPECT_EQ(form.TotalBox()->text(), "0");
  EXPECT_EQ(LabelOf(form.ResultBox()), "Результат выполнения:");
  EXPECT_EQ(LabelOf(form.StatusBox()), "Статус регистратора:");
  EXPECT_TRUE(form.ResultBox()->isReadOnly());
  EXPECT_TRUE(form.StatusBox()->isReadOnly());
  EXPECT_TRUE(form.ResultBox()->text().isEmpty());
  EXPECT_EQ(Utf8(form.ReadAuxButton()->text()), "Читать вспом. параметры");
  EXPECT_TRUE(form.ReadAuxButton()->isEnabled());
  EXPECT_EQ(Utf8(form.FinishButton()->text()), "Завершить");
  EXPECT_TRUE(form.FinishButton()->isEnabled());
  EXPECT_EQ(Utf8(form.NextButton()->text()), "Дальше ->");
  EXPECT_FALSE(form.NextButton()->isEnabled());

  // One column: the five counters share a left edge, top to bottom.
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  QLineEdit* column[] = {form.CounterBox(0), form.CounterBox(1), form.CounterBox(2),
                         form.CounterBox(3), form.TotalBox()};
  for (int i = 1; i < 5; ++i) {
    EXPECT_EQ(column[i]->x(), column[0]->x());
    EXPECT_GT(column[i]->y(), column[i - 1]->y());
  }
  form.hide();
}

TEST_F(InitialStateTest, Step3ControlsStartAsTheUserFirstSeesThem) {
  TForm3& form = wizard_.Form3;
  TapeTextBox* text = form.TextBox();
  EXPECT_EQ(text->LineCount(), 1);
  EXPECT_EQ(text->LineAt(0), "");
  EXPECT_FALSE(text->isReadOnly());
  EXPECT_EQ(text->font().family(), "Courier");
  EXPECT_EQ(text->font().pointSize(), 8);
  EXPECT_TRUE(text->font().fixedPitch());
  EXPECT_EQ(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

  ProgressGauge* gauge = form.Gauge();
  EXPECT_EQ(gauge->Progress(), 0);
  EXPECT_EQ(gauge->PercentDone(), 0);
  EXPECT_EQ(gauge->Text(), "0%");

  EXPECT_FALSE(wizard_.Steps.step3.RestoreFinished());
  EXPECT_EQ(Utf8(form.RestoreButton()->text()), "Восстановить контр. ленту");
  EXPECT_EQ(Utf8(form.SaveButton()->text()), "Сохранить");
  EXPECT_EQ(Utf8(form.FinishButton()->text()), "Завершить");
  for (QPushButton* b : {form.RestoreButton(), form.SaveButton(), form.FinishButton()}) {
    EXPECT_TRUE(b->isEnabled());
  }

  // The gauge sits under the text box and is as wide as it.
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_GT(gauge->y(), text->geometry().bottom());
  EXPECT_EQ(gauge->x(), text->x());
  EXPECT_EQ(gauge->width(), text->width());
  EXPECT_LT(form.RestoreButton()->x(), form.SaveButton()->x());
  EXPECT_LT(form.SaveButton()->x(), form.FinishButton()->x());
  form.hide();
}

}  // namespace
}  // namespace fjl::app
