// The wizard when the line drops, over the real serial port code and the
// simulator on a pseudo-terminal: an adapter pulled and plugged back under
// its name at any step leaves every step's reads working, and "Отключить"
// disconnects even once the printer is gone for good.

#include <gtest/gtest.h>

#include "e2e/fault_harness.h"
#include "fake_views.h"
#include "sim/lib/fault_plan.h"
#include "tape/download_messages.h"

namespace fjl::wizard::testing {
namespace {

using Texts = std::vector<std::string>;
const std::string kDone(tape::kMsgDownloadDone);

struct PluggedWizard {
  PluggedWizard() {
    w.open_printer = [this](std::int32_t speed) { return serial::OpenSerialPort(plug.Port(), speed); };
  }
  FakeWizard w{SmallChunks()};
  e2e::PluggablePrinter plug{w.simulator};
};

TEST(LineDropTest, AnAdapterPluggedBackAtAnyStepLeavesTheReadsWorking) {
  FakeWizard uncut(SmallChunks());
  uncut.ReachStep3();
  uncut.steps.step3.Restore();
  for (int replugged_before = 1; replugged_before <= 3; ++replugged_before) {
    SCOPED_TRACE("plugged back before step " + std::to_string(replugged_before) + "'s reads");
    PluggedWizard p;
    FakeWizard& w = p.w;
    const auto replug_at = [&](int step) {
      if (step != replugged_before) return;
      p.plug.Unplug();
      p.plug.Plug();
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
    EXPECT_EQ(w.view3.lines, uncut.view3.lines);
  }
}

TEST(LineDropTest, DisconnectWorksAfterTheLineDroppedAndTheReopeningFailed) {
  PluggedWizard p;
  FakeWizard& w = p.w;
  w.Connect();
  w.simulator.AddFault(sim::ParseFaultRule("hangup:cmd=241,every=2,limit=1"));
  w.steps.step1.ReadTape();
  p.plug.Unplug();
  w.steps.step1.ReadTape();  // the printer still gone: the link has lost its port
  const std::string lost = "Ошибка! Связь с регистратором потеряна: порт отключен! Чтение данных остановлено.";
  ASSERT_EQ(w.view1.messages, (Texts{lost, lost}));

  w.steps.step1.ConnectOrDisconnect();
  EXPECT_EQ(w.view1.indicator, IndicatorColour::Red);
  EXPECT_EQ(w.view1.Text(Step1Control::ConnectButton), "Подключить");
  EXPECT_TRUE(w.view1.IsEnabled(Step1Control::PortList));
  EXPECT_FALSE(w.view1.IsEnabled(Step1Control::ReadTapeButton));
  EXPECT_FALSE(w.link.IsOpen());

  p.plug.Plug();
  w.Connect();
  w.steps.step1.ReadTape();
  EXPECT_EQ(w.view1.messages.back(), kDone);
}

}  // namespace
}  // namespace fjl::wizard::testing
