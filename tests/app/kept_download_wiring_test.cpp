// The Qt wizard keeps its downloads: a download cut at a chunk goes on at
// the next press of the read button, or in a program started again, and
// the file saved is byte for byte the one an uncut run saves.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim/lib/fault_plan.h"
#include "sim_wizard.h"
#include "wizard/kept_download.h"

namespace fjl::app {
namespace {

using testing::FakeChooser;
using testing::SimWizard;
namespace fs = std::filesystem;

sim::SimulatorOptions Chunks(const char* fault = nullptr) {
  sim::SimulatorOptions options;
  options.chunk_size = 50;
  if (fault != nullptr) options.faults.push_back(sim::ParseFaultRule(fault));
  return options;
}

// Restores what the wizard holds and saves it through the dialog.
std::string RestoreAndSave(SimWizard& sim, const fs::path& file) {
  FakeChooser chooser;
  chooser.answer = wizard::SaveChoice{file.string(), wizard::kFjlFilterIndex};
  sim.Form3().SetSaveFileChooser(&chooser);
  sim.Restore();
  sim.Form3().SaveButton()->click();
  sim.Form3().SetSaveFileChooser(nullptr);
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(KeptDownloadWiringTest, ACutDownloadGoesOnAtTheNextPressAndAfterARestart) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const fs::path folder = dir.path().toStdString();
  SimWizard uncut(sim::SamplePrinterModel(), Chunks());
  uncut.ReachStep3();
  const std::string whole = RestoreAndSave(uncut, folder / "uncut.FJL");
  ASSERT_FALSE(whole.empty());

  {
    // The printer fails the fourth tape read: three chunks of 50 bytes kept.
    SimWizard cut(sim::SamplePrinterModel(), Chunks("error:cmd=241,code=0106,every=4,limit=1"), folder / "kept");
    cut.Connect();
    cut.ReadTape();
    EXPECT_FALSE(cut.Form1().NextButton()->isEnabled());
    cut.sink.messages.clear();
    cut.ReadTape();
    cut.ToStep2();
    cut.ReadAux();
    cut.ToStep3();
    EXPECT_EQ(cut.sink.messages.front(), "Чтение продолжено с адреса 0x10005C4D: 150 байт прочитаны ранее.");
    EXPECT_EQ(RestoreAndSave(cut, folder / "pressed-again.FJL"), whole);
  }
  {
    SimWizard first(sim::SamplePrinterModel(), Chunks("error:cmd=241,code=0106,every=4,limit=1"), folder / "kept");
    first.Connect();
    first.ReadTape();
  }
  SimWizard restarted(sim::SamplePrinterModel(), Chunks(), folder / "kept");
  restarted.ReachStep3();
  EXPECT_EQ(restarted.sink.messages.front(), "Чтение продолжено с адреса 0x10005C4D: 150 байт прочитаны ранее.");
  EXPECT_EQ(RestoreAndSave(restarted, folder / "restarted.FJL"), whole);
}

}  // namespace
}  // namespace fjl::app
