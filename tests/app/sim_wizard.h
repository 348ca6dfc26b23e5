#pragma once
// The whole wizard against the simulated printer in the same process: a
// DeviceLink whose port is the simulator, and helpers that press the
// buttons a user would press.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "app/qt/save_file_chooser.h"
#include "app/qt/wizard.h"
#include "app_test_support.h"
#include "link/device_link.h"
#include "sim/lib/in_process_channel.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"

namespace fjl::app::testing {

// Passes everything on to the simulator's channel and calls `on_write`
// after every request frame written: the moment a handler is deep inside
// an exchange.
class HookedChannel : public serial::SerialChannel {
 public:
  HookedChannel(std::unique_ptr<serial::SerialChannel> inner, std::function<void()>& on_write)
      : inner_(std::move(inner)), on_write_(on_write) {}
  serial::ReadResult Read(std::span<std::uint8_t> buffer) override { return inner_->Read(buffer); }
  platform::SystemResult Write(std::span<const std::uint8_t> bytes) override {
    platform::SystemResult written = inner_->Write(bytes);
    if (on_write_) on_write_();
    return written;
  }
  platform::SystemResult Drain() override { return inner_->Drain(); }
  platform::SystemResult Purge(serial::PurgeDirection direction) override { return inner_->Purge(direction); }
  bool Close() override { return inner_->Close(); }
  int Handle() const override { return inner_->Handle(); }

 private:
  std::unique_ptr<serial::SerialChannel> inner_;
  std::function<void()>& on_write_;
};

inline const char* const kSimPort = "/dev/ttySIM0";

// The save dialog, answered by the test.
class FakeChooser : public SaveFileChooser {
 public:
  std::optional<wizard::SaveChoice> ChooseSaveFile(const wizard::SaveDialogSettings& settings) override {
    asked.push_back(settings);
    return answer;
  }
  std::optional<wizard::SaveChoice> answer;
  std::vector<wizard::SaveDialogSettings> asked;
};

class SimWizard {
 public:
  // `kept`: the folder of kept downloads (empty: none kept).
  explicit SimWizard(sim::PrinterModel model = sim::SamplePrinterModel(),
                     sim::SimulatorOptions options = {}, std::filesystem::path kept = {})
      : simulator(std::move(model), std::move(options)),
        link([this](const std::string&, std::int32_t) -> std::unique_ptr<serial::SerialChannel> {
          return std::make_unique<HookedChannel>(sim::MakeInProcessChannel(simulator), on_write);
        }) {
    wizard = std::make_unique<Wizard>(link, sink, std::move(kept));
  }
  ~SimWizard() { wizard.reset(); }

  TForm1& Form1() { return wizard->Form1; }
  TForm2& Form2() { return wizard->Form2; }
  TForm3& Form3() { return wizard->Form3; }
  wizard::Step1Presenter& Step1() { return wizard->Steps.step1; }
  wizard::Step2Presenter& Step2() { return wizard->Steps.step2; }
  wizard::Step3Presenter& Step3() { return wizard->Steps.step3; }

  void Connect() {
    Form1().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Form1()));
    Form1().ConnectButton()->click();
  }
  void ReadTape() { Form1().ReadTapeButton()->click(); }
  void ToStep2() {
    Form1().NextButton()->click();
    if (Form2().isVisible()) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(&Form2()));
    }
  }
  void ReadAux() { Form2().ReadAuxButton()->click(); }
  void ToStep3() {
    Form2().NextButton()->click();
    if (Form3().isVisible()) {
      EXPECT_TRUE(QTest::qWaitForWindowExposed(&Form3()));
    }
  }
  void Restore() { Form3().RestoreButton()->click(); }

  // Connect, both downloads, on to step 3.
  void ReachStep3() {
    Connect();
    ReadTape();
    ToStep2();
    ReadAux();
    ToStep3();
  }

  EventLog log;
  RecordingSink sink{&log};
  std::function<void()> on_write;
  sim::Simulator simulator;
  link::DeviceLink link;
  std::unique_ptr<Wizard> wizard;

 private:
  port::ScopedPortDiscovery discovery_{std::make_shared<FakePortSource>(std::vector<std::string>{kSimPort})};
};

}  // namespace fjl::app::testing
