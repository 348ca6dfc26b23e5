// While a download or a restoration runs, the windows take no input: a
// click on "Завершить" or on the running button itself does nothing, now
// or later. A message box the run opens still answers.

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include "app/qt/busy_guard.h"
#include "sim_wizard.h"

namespace fjl::app {
namespace {

using testing::SimWizard;
using testing::Utf8;

struct RunCase {
  const char* name;
  int step;
};

TEST(BusyGuardTest, ClicksDuringARunReachNoButtonNowOrAfterwards) {
  const RunCase cases[] = {{"tape download", 1}, {"auxiliary download", 2}, {"restoration", 3}};
  for (const RunCase& c : cases) {
    SCOPED_TRACE(c.name);
    SimWizard sim;
    QWidget* window = nullptr;
    QPushButton* finish = nullptr;
    QPushButton* run = nullptr;
    sim.Connect();
    if (c.step == 1) {
      window = &sim.Form1();
      finish = sim.Form1().FinishButton();
      run = sim.Form1().ReadTapeButton();
    } else {
      sim.ReadTape();
      sim.ToStep2();
      if (c.step == 2) {
        window = &sim.Form2();
        finish = sim.Form2().FinishButton();
        run = sim.Form2().ReadAuxButton();
      } else {
        sim.ReadAux();
        sim.ToStep3();
        window = &sim.Form3();
        finish = sim.Form3().FinishButton();
        run = sim.Form3().RestoreButton();
      }
    }
    sim.sink.messages.clear();
    const std::size_t requests_before = sim.simulator.Requests().size();
    int clicks = 0;
    sim.on_write = [&] {
      if (clicks++ != 0) return;
      QTest::mouseClick(finish, Qt::LeftButton);
      QTest::mouseClick(run, Qt::LeftButton);
      QTest::keyClick(window, Qt::Key_Escape);
    };
    QSignalSpy finish_clicked(finish, &QPushButton::clicked);
    run->click();
    sim.on_write = nullptr;
    QCoreApplication::processEvents();

    EXPECT_EQ(finish_clicked.count(), 0);
    EXPECT_TRUE(window->isVisible());
    for (const std::string& message : sim.sink.messages) {
      EXPECT_NE(message, "Приложение остановлено!");
    }
    EXPECT_EQ(sim.sink.messages.size(), c.step == 3 ? 0u : 1u) << "one run, one outcome";
    // The run's first request went out once: the click on its own button
    // started no second run inside the first.
    const std::vector<sim::Request> requests = sim.simulator.Requests();
    int first_requests = 0;
    for (std::size_t i = requests_before; i < requests.size(); ++i) {
      const sim::Request& r = requests[i];
      first_requests += c.step == 1   ? r.data == "482913;268458935;"
                        : c.step == 2 ? r.data == "482913;388693;"
                                      : r.command == 0x42;
    }
    EXPECT_EQ(first_requests, 1);
    if (c.step == 3) {
      EXPECT_TRUE(sim.Step3().RestoreFinished());
    }
  }
}

TEST(BusyGuardTest, OnlyAModalBoxOpenedMeanwhileTakesInput) {
  QWidget window;
  auto* edit = new QLineEdit(&window);
  auto* button = new QPushButton("x", &window);
  auto* layout = new QVBoxLayout(&window);
  layout->addWidget(edit);
  layout->addWidget(button);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QSignalSpy button_clicked(button, &QPushButton::clicked);

  {
    BusyGuard busy;
    QTest::mouseClick(button, Qt::LeftButton);
    QTest::keyClicks(edit, "abc");
    EXPECT_EQ(button_clicked.count(), 0);
    EXPECT_EQ(edit->text(), "");

    // The run's own message box.
    QDialog box(&window);
    box.setModal(true);
    auto* ok = new QPushButton("OK", &box);
    QObject::connect(ok, &QPushButton::clicked, &box, &QDialog::accept);
    QTimer::singleShot(0, &box, [ok] { QTest::mouseClick(ok, Qt::LeftButton); });
    QTimer::singleShot(5000, &box, &QDialog::reject);  // never hang the suite
    EXPECT_EQ(box.exec(), QDialog::Accepted);
  }

  // Once the run is over the window works again.
  QTest::mouseClick(button, Qt::LeftButton);
  QTest::keyClicks(edit, "abc");
  EXPECT_EQ(button_clicked.count(), 1);
  EXPECT_EQ(edit->text(), "abc");
}

TEST(BusyGuardTest, TheProgramsOwnClosingStillWorks) {
  QWidget window;
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  BusyGuard busy;
  EXPECT_TRUE(window.close());
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace fjl::app
