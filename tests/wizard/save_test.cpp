// "Сохранить" without a toolkit: the dialog's settings, the name saved under
// for each filter, the working directory following the user, failures.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <algorithm>
#include <iterator>

#include "fake_views.h"
#include "wizard/save_dialog.h"

namespace fjl::wizard {
namespace {

namespace fs = std::filesystem;
using testing::FakeWizard;

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SaveDialogTest, TheDialogHasTheWindowsTextsAndTheGivenPlace) {
  const SaveDialogSettings s = SaveDialogSettingsFor("/home/ann/Документы", "07104512_2026-12-08.FJL");
  EXPECT_EQ(s.title, "Сохранить контрольную ленту в файл");
  EXPECT_EQ(s.initial_folder, "/home/ann/Документы");
  EXPECT_EQ(s.file_name, "07104512_2026-12-08.FJL");
  ASSERT_EQ(s.filters.size(), 4u);
  EXPECT_EQ(s.filters[0].description, "Файл контрольной ленты (*.FJL)");
  EXPECT_EQ(s.filters[0].pattern, "*.FJL");
  EXPECT_EQ(s.filters[1].description, "Все файлы (*.*)");
  EXPECT_EQ(s.filters[1].pattern, "(*.*)");
  // The tape as data after the two of the FJL file, which stays first.
  EXPECT_EQ(s.filters[kJsonFilterIndex].description, "Данные ленты JSON (*.json)");
  EXPECT_EQ(s.filters[kJsonFilterIndex].pattern, "*.json");
  EXPECT_EQ(s.filters[kCsvFilterIndex].description, "Таблицы CSV: документы, товары, оплаты (*.csv)");
  EXPECT_EQ(s.filters[kCsvFilterIndex].pattern, "*.csv");
  EXPECT_EQ(s.default_extension, "*.FJL");
  EXPECT_FALSE(s.confirm_overwrite);
}

// Whatever the printer sends as its serial number, the name is a plain one.
TEST(SaveDialogTest, TheProposedNameIsTheSerialNumberAndTheDay) {
  const std::pair<std::string, std::string> cases[] = {
      {"AB12345678", "AB12345678_2026-01-05.FJL"},
      {"", "2026-01-05.FJL"},
      {"07 104/512\x01", "07104512_2026-01-05.FJL"},
      {"..\\CON", "CON_2026-01-05.FJL"},
      {"\xD0\x9A\xD0\x9B-7", "-7_2026-01-05.FJL"},  // "КЛ-7": the Cyrillic letters go
      {"*?:<>|\"", "2026-01-05.FJL"},
  };
  for (const auto& [serial, name] : cases) EXPECT_EQ(ProposedFileName(serial, 2026, 1, 5), name) << serial;
}

// ".FJL" goes to every name that does not end in it, and only while the FJL
// filter is chosen: under "Все файлы (*.*)" the name is the user's.
TEST(SaveDialogTest, TheExtensionIsAddedOnlyUnderTheFjlFilter) {
  struct Case {
    std::string path;
    std::size_t filter;
    std::string saved;
  };
  const Case cases[] = {
      {"/tmp/day", 0, "/tmp/day.FJL"},
      {"/tmp/лента 08.12", 0, "/tmp/лента 08.12.FJL"},
      {"/tmp/day.txt", 0, "/tmp/day.txt.FJL"},
      {"/tmp/day.fjl", 0, "/tmp/day.fjl"},
      {"/tmp/day.Fjl", 0, "/tmp/day.Fjl"},
      {"/tmp/day.", 0, "/tmp/day.FJL"},
      {"/tmp/.profile", 0, "/tmp/.profile.FJL"},
      {"/tmp/", 0, "/tmp/"},
      {"/tmp/day", 1, "/tmp/day"},
      {"/tmp/day.", 1, "/tmp/day."},
      {"/tmp/README", 1, "/tmp/README"},
      {"/tmp/day.txt", 1, "/tmp/day.txt"},
      // The data filters' own extension, in place of ".FJL" and after a date's dots.
      {"/tmp/day", kJsonFilterIndex, "/tmp/day.json"},
      {"/tmp/day.JSON", kJsonFilterIndex, "/tmp/day.JSON"},
      {"/tmp/07104512_25.12.08.FJL", kJsonFilterIndex, "/tmp/07104512_25.12.08.json"},
      {"/tmp/25.12.08", kCsvFilterIndex, "/tmp/25.12.08.csv"},
      {"/tmp/day.", kCsvFilterIndex, "/tmp/day.csv"},
      {"/tmp/day.csv", kCsvFilterIndex, "/tmp/day.csv"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PathToSave({c.path, c.filter}), c.saved) << c.path << " filter " << c.filter;
  }
}

class SaveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    start_ = fs::current_path();
    dir_ = fs::temp_directory_path() / ("fjl-wizard-save-" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::current_path(dir_);
  }
  void TearDown() override {
    fs::current_path(start_);
    fs::remove_all(dir_);
  }
  void SaveAs(const fs::path& path, std::size_t filter = kFjlFilterIndex) {
    w_.view3.choice = SaveChoice{path.string(), filter};
    w_.steps.step3.Save();
  }

  fs::path start_;
  fs::path dir_;
  FakeWizard w_;
};

TEST_F(SaveTest, TheBoxIsWrittenInWindows1251AndTheNextDialogOpensWhereItWent) {
  w_.view3.lines = {"", "Итог=1.00"};
  fs::create_directory(dir_ / "archive");
  SaveAs(dir_ / "archive" / "day");
  EXPECT_EQ(FileBytes(dir_ / "archive" / "day.FJL"), "\r\n\xC8\xF2\xEE\xE3=1.00\r\n");
  EXPECT_TRUE(w_.view3.errors.empty());
  EXPECT_TRUE(w_.view3.messages.empty()) << "no message on success";
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_ / "archive"));

  w_.view3.choice.reset();
  w_.steps.step3.Save();
  ASSERT_EQ(w_.view3.dialogs.size(), 2u);
  EXPECT_TRUE(fs::equivalent(w_.view3.dialogs[1].initial_folder, dir_ / "archive"));
}

// The first save of a run opens in the user's documents, the next where the
// last one went; the focus is back on "Сохранить" after the dialog either way.
TEST(SaveFolderTest, DocumentsFirstThenTheLastFolderAndTheFocusComesBack) {
  const fs::path dir = fs::temp_directory_path() / ("fjl-wizard-docs-" + std::to_string(::getpid()));
  // A save moves the working directory into `dir`, which Windows would then
  // not let go of.
  const fs::path start = fs::current_path();
  fs::remove_all(dir);
  fs::create_directories(dir / "Документы");
  FakeWizard w({}, {}, sim::SamplePrinterModel(), (dir / "Документы").string());
  w.view3.focus = Step3Control::TapeText;
  w.steps.step3.Save();  // cancelled
  EXPECT_EQ(w.view3.focus, Step3Control::SaveButton);
  w.view3.choice = SaveChoice{(dir / "day").string(), kFjlFilterIndex};
  w.view3.focus = Step3Control::TapeText;
  w.steps.step3.Save();
  EXPECT_EQ(w.view3.focus, Step3Control::SaveButton);
  w.view3.choice.reset();
  w.steps.step3.Save();
  ASSERT_EQ(w.view3.dialogs.size(), 3u);
  EXPECT_EQ(w.view3.dialogs[0].initial_folder, (dir / "Документы").string());
  EXPECT_EQ(w.view3.dialogs[1].initial_folder, (dir / "Документы").string()) << "a cancel is no save";
  EXPECT_TRUE(fs::equivalent(w.view3.dialogs[2].initial_folder, dir));
  EXPECT_TRUE(fs::exists(dir / "day.FJL"));
  // Nothing read the serial number here: the name is the day's.
  EXPECT_TRUE(w.view3.dialogs[0].file_name.ends_with(".FJL"));
  EXPECT_EQ(w.view3.dialogs[0].file_name.size(), std::string("2026-12-08.FJL").size());
  fs::current_path(start);
  fs::remove_all(dir);
}

TEST_F(SaveTest, UnderAllFilesTheNameIsKeptAsTyped) {
  SaveAs(dir_ / "README", 1);
  EXPECT_TRUE(fs::exists(dir_ / "README"));
  EXPECT_FALSE(fs::exists(dir_ / "README.FJL"));
}

TEST_F(SaveTest, CancelWritesNothing) {
  w_.steps.step3.Save();
  EXPECT_EQ(w_.view3.dialogs.size(), 1u);
  EXPECT_TRUE(fs::is_empty(dir_));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_));
}

TEST_F(SaveTest, AFailedSaveShowsThePathAndTheSystemsReasonAndStaysPut) {
  // A folder of that name is refused and left alone, reached either way.
  fs::create_directory(dir_ / "day.FJL");
  SaveAs(dir_ / "day");
  SaveAs(dir_ / "day.FJL", 1);
  ASSERT_EQ(w_.view3.errors.size(), 2u);
  const std::string taken = (dir_ / "day.FJL").string();
  for (const std::string& error : w_.view3.errors) {
    EXPECT_EQ(error.rfind(taken + ": ", 0), 0u) << error;
    EXPECT_GT(error.size(), taken.size() + 2) << "with the system's reason";
  }
  EXPECT_TRUE(fs::is_directory(dir_ / "day.FJL"));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), dir_));
}

// The tape as data: nothing before a restoration has completed (the data
// is its records, not the box), then the JSON file or the three tables;
// the FJL file saved beside them is the box as before.
TEST_F(SaveTest, DataIsSavedFromTheCompletedRestoration) {
  SaveAs(dir_ / "early", kJsonFilterIndex);
  EXPECT_EQ(w_.view3.messages,
            std::vector<std::string>{
                "Данные ленты (JSON, CSV) берутся из восстановленных записей: сначала восстановите контрольную ленту."});
  EXPECT_TRUE(fs::is_empty(dir_));

  w_.ReachStep3();
  w_.steps.step3.Restore();
  ASSERT_TRUE(w_.steps.step3.RestoreFinished());
  SaveAs(dir_ / "day", kJsonFilterIndex);
  const std::string json = FileBytes(dir_ / "day.json");
  EXPECT_EQ(json.rfind("{\n  \"format\": \"fjl-tape\",", 0), 0u) << json.substr(0, 200);
  EXPECT_NE(json.find("\"serial_number\": \"07104512\""), std::string::npos);
  EXPECT_NE(json.find("{\"type\": \"item_sale\", \"position\": 29, "), std::string::npos);

  SaveAs(dir_ / "day.csv", kCsvFilterIndex);
  for (const char* table : {"day_documents.csv", "day_items.csv", "day_payments.csv"}) {
    EXPECT_EQ(FileBytes(dir_ / table).substr(0, 3), "\xEF\xBB\xBF") << table;
  }
  // The sample journal's seven documents, under their header.
  const std::string documents = FileBytes(dir_ / "day_documents.csv");
  EXPECT_EQ(std::count(documents.begin(), documents.end(), '\n'), 8);

  SaveAs(dir_ / "day");
  EXPECT_EQ(FileBytes(dir_ / "day.FJL").substr(0, 2), "\r\n");
  EXPECT_TRUE(w_.view3.errors.empty());
  EXPECT_EQ(w_.view3.messages.size(), 1u) << "no message on success";
}

}  // namespace
}  // namespace fjl::wizard
