// The wizard over a real serial channel: the simulator serves a
// pseudo-terminal that only the extra-port list names, on a machine whose
// own device list cannot be read.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/qt/wizard.h"
#include "app_test_support.h"
#include "link/device_link.h"
#include "sim/lib/pty_printer.h"
#include "sim/lib/sample_journal.h"
#include "tape/download_messages.h"

namespace fjl::app {
namespace {

using testing::FakePortSource;
using testing::RecordingSink;
using testing::Utf8;

TEST(PtyWizardTest, ExtraPortIsListedWithoutTheDeviceClassAndCarriesBothDownloads) {
  sim::Simulator simulator(sim::SamplePrinterModel());
  sim::PtyPrinter printer(simulator);
  port::ScopedPortDiscovery discovery(std::make_shared<FakePortSource>(std::nullopt), {printer.SlavePath()});

  {
    link::DeviceLink link;
    RecordingSink sink;
    Wizard wizard(link, sink);
    wizard.Form1.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&wizard.Form1));
    ASSERT_EQ(wizard.Form1.PortList()->count(), 1);
    EXPECT_EQ(Utf8(wizard.Form1.PortList()->currentText()), printer.SlavePath());

    wizard.Form1.ConnectButton()->click();
    ASSERT_TRUE(wizard.Steps.step1.Connected()) << (sink.messages.empty() ? "" : sink.messages.front());
    wizard.Form1.ReadTapeButton()->click();
    EXPECT_EQ(Utf8(wizard.Form1.TotalBox()->text()), "42");
    wizard.Form1.NextButton()->click();
    wizard.Form2.ReadAuxButton()->click();
    EXPECT_EQ(Utf8(wizard.Form2.TotalBox()->text()), "17");
    const std::string done(tape::kMsgDownloadDone);
    EXPECT_EQ(sink.messages, (std::vector<std::string>{done, done}));
    EXPECT_TRUE(wizard.Form2.NextButton()->isEnabled());
  }
}

}  // namespace
}  // namespace fjl::app
