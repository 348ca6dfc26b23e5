// The wizard when the line drops: a USB adapter pulled and plugged back
// under the same name at any step leaves every step's reads working, and
// "Отключить" always disconnects, even once the printer is gone for good.
// The printer is the simulator on a pseudo-terminal reached through the
// real serial port code.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/fault_harness.h"
#include "fake_views.h"
#include "sim/lib/fault_plan.h"
#include "tape/download_messages.h"
#include "wizard/window_texts.h"

namespace fjl::wizard::testing {
namespace {

using Texts = std::vector<std::string>;
const std::string kDone(tape::kMsgDownloadDone);

class PluggedWizard {
 public:
  PluggedWizard()
      : simulator(sim::SamplePrinterModel(), SmallChunks()),
        plug(simulator),
        steps({link, toolkit, [this] { return Texts{plug.Port()}; }}, view1, view2, view3) {}

  void Connect() {
    steps.Start();
    steps.step1.Activated();
    steps.step1.ConnectOrDisconnect();
  }

  Log log;
  FakeStep1 view1{log};
  FakeStep2 view2{log};
  FakeStep3 view3{log};
  FakeToolkit toolkit;
  sim::Simulator simulator;
  e2e::PluggablePrinter plug;
  link::DeviceLink link;
  WizardSteps steps;
};

TEST(LineDropTest, AnAdapterPluggedBackAtAnyStepLeavesTheReadsWorking) {
  PluggedWizard uncut;
  uncut.Connect();
  uncut.steps.step1.ReadTape();
  uncut.steps.step1.Next();
  uncut.steps.step2.ReadAux();
  uncut.steps.step2.Next();
  uncut.steps.step3.Restore();
  ASSERT_GT(uncut.view3.lines.size(), 100u);

  for (int replugged_before = 1; replugged_before <= 3; ++replugged_before) {
    SCOPED_TRACE("plugged back before step " + std::to_string(replugged_before) + "'s reads");
    PluggedWizard w;
    const auto replug_at = [&](int step) {
      if (step != replugged_before) return;
      w.plug.Unplug();
      w.plug.Plug();
    };
    w.Connect();
    replug_at(1);
    w.steps.step1.ReadTape();
    w.steps.step1.Next();
    replug_at(2);
    w.steps.step2.ReadAux();
    w.steps.step2.Next();
    replug_at(3);
    w.steps.step3.Restore();
    EXPECT_EQ(w.view1.messages, Texts{kDone});
    EXPECT_EQ(w.view2.messages, Texts{kDone});
    EXPECT_EQ(w.view3.messages, Texts{});
    EXPECT_EQ(w.view3.lines, uncut.view3.lines);
  }
}

// The line drops in the middle of the tape, and the next press finds the
// printer still gone: the link has lost its port by then.
TEST(LineDropTest, DisconnectWorksAfterTheLineDroppedAndTheReopeningFailed) {
  PluggedWizard w;
  w.Connect();
  w.simulator.AddFault(sim::ParseFaultRule("hangup:cmd=241,every=2,limit=1"));
  w.steps.step1.ReadTape();
  w.plug.Unplug();
  w.steps.step1.ReadTape();
  const std::string lost = "Ошибка! Связь с регистратором потеряна: порт отключен! Чтение данных остановлено.";
  ASSERT_EQ(w.view1.messages, (Texts{lost, lost}));
  ASSERT_EQ(w.view1.Text(Step1Control::ConnectButton), "Отключить");

  w.steps.step1.ConnectOrDisconnect();
  EXPECT_EQ(w.view1.indicator, IndicatorColour::Red);
  EXPECT_EQ(w.view1.Text(Step1Control::ConnectButton), "Подключить");
  EXPECT_TRUE(w.view1.IsEnabled(Step1Control::PortList));
  EXPECT_TRUE(w.view1.IsEnabled(Step1Control::SpeedList));
  EXPECT_FALSE(w.view1.IsEnabled(Step1Control::ReadTapeButton));
  EXPECT_FALSE(w.link.IsOpen());

  // Plugged back in, the port is connected again and the tape read whole.
  w.plug.Plug();
  w.steps.step1.Activated();
  w.steps.step1.ConnectOrDisconnect();
  w.steps.step1.ReadTape();
  EXPECT_EQ(w.view1.messages.back(), kDone);
  EXPECT_TRUE(w.view1.IsEnabled(Step1Control::NextButton));
}

}  // namespace
}  // namespace fjl::wizard::testing
