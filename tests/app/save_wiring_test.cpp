// "Сохранить": the dialog's settings, the FJL file written from the box,
// the working directory following the user, cancels and failures.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "app/qt/russian_texts.h"
#include "app/qt/save_file_chooser.h"
#include "app/qt/tape_text_box.h"
#include "sim_wizard.h"

namespace fjl::app {
namespace {

using testing::FakeChooser;
using testing::SimWizard;
using testing::Utf8;
namespace fs = std::filesystem;

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

class SaveWiringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    start_dir_ = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir_.path()));
    form3().SetSaveFileChooser(&chooser_);
  }
  void TearDown() override {
    form3().SetSaveFileChooser(nullptr);
    QDir::setCurrent(start_dir_);
  }
  TForm3& form3() { return sim_.Form3(); }
  fs::path Dir() const { return dir_.path().toStdString(); }
  void SaveAs(const fs::path& path, std::size_t filter = wizard::kFjlFilterIndex) {
    chooser_.answer = wizard::SaveChoice{path.string(), filter};
    form3().SaveButton()->click();
  }

  QTemporaryDir dir_;
  QString start_dir_;
  SimWizard sim_;
  FakeChooser chooser_;
};

TEST_F(SaveWiringTest, DialogIsAskedWithTheSaveSettings) {
  chooser_.answer = std::nullopt;
  form3().SaveButton()->click();
  ASSERT_EQ(chooser_.asked.size(), 1u);
  const wizard::SaveDialogSettings& s = chooser_.asked.front();
  EXPECT_EQ(s.title, "Сохранить контрольную ленту в файл");
  EXPECT_EQ(QString::fromStdString(s.initial_folder), QDir::currentPath());
  ASSERT_EQ(s.filters.size(), 4u);
  EXPECT_EQ(s.filters[0].description, "Файл контрольной ленты (*.FJL)");
  EXPECT_EQ(s.filters[1].description, "Все файлы (*.*)");
  EXPECT_EQ(s.filters[2].description, "Данные ленты JSON (*.json)");
  EXPECT_EQ(s.filters[3].description, "Таблицы CSV: документы, товары, оплаты (*.csv)");
  EXPECT_EQ(s.default_extension, "*.FJL");
  EXPECT_FALSE(s.confirm_overwrite);
}

TEST_F(SaveWiringTest, QtDialogGetsTheSettings) {
  const wizard::SaveDialogSettings settings =
      wizard::SaveDialogSettingsFor(QDir::currentPath().toStdString(), "07104512_2026-12-08.FJL");
  QFileDialog dialog;
  ConfigureSaveDialog(dialog, settings);
  ASSERT_EQ(dialog.selectedFiles().size(), 1);
  EXPECT_EQ(QFileInfo(dialog.selectedFiles().front()).fileName(), "07104512_2026-12-08.FJL");
  EXPECT_EQ(Utf8(dialog.windowTitle()), "Сохранить контрольную ленту в файл");
  EXPECT_EQ(dialog.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(QDir(dialog.directory()).canonicalPath(), QDir(QDir::currentPath()).canonicalPath());
  EXPECT_EQ(dialog.nameFilters(), (QStringList{QString::fromUtf8("Файл контрольной ленты (*.FJL)"),
                                               QString::fromUtf8("Все файлы (*.*)"),
                                               QString::fromUtf8("Данные ленты JSON (*.json)"),
                                               QString::fromUtf8("Таблицы CSV: документы, товары, оплаты (*.csv)")}));
  EXPECT_EQ(Utf8(dialog.selectedNameFilter()), "Файл контрольной ленты (*.FJL)");
  EXPECT_EQ(dialog.defaultSuffix(), "FJL");
  EXPECT_TRUE(dialog.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_FALSE(dialog.testOption(QFileDialog::ReadOnly)) << "the user may make folders";
}

// Qt's dialog would add ".FJL" itself under every filter; under "Все файлы
// (*.*)" the name must stay as typed, and the choice says which filter it was.
TEST_F(SaveWiringTest, QtDialogAddsFjlOnlyUnderTheFjlFilter) {
  QFileDialog dialog;
  ConfigureSaveDialog(dialog, wizard::SaveDialogSettingsFor(QDir::currentPath().toStdString(), ""));
  const QString all_files = QString::fromUtf8("Все файлы (*.*)");
  dialog.selectNameFilter(all_files);
  emit dialog.filterSelected(all_files);
  EXPECT_EQ(dialog.defaultSuffix(), "");
  dialog.selectFile(QString::fromStdString((Dir() / "README").string()));
  std::optional<wizard::SaveChoice> choice = ChoiceOf(dialog);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->filter, 1u);
  EXPECT_EQ(wizard::PathToSave(*choice), (Dir() / "README").string());

  const QString fjl = QString::fromUtf8("Файл контрольной ленты (*.FJL)");
  dialog.selectNameFilter(fjl);
  emit dialog.filterSelected(fjl);
  EXPECT_EQ(dialog.defaultSuffix(), "FJL");
  choice = ChoiceOf(dialog);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->filter, 0u);
}

// Under the JSON filter Qt adds no ".FJL" either: the name gets ".json"
// from the wizard, and the file is the restoration's records as data.
TEST_F(SaveWiringTest, QtDialogSavesJsonUnderItsFilter) {
  QFileDialog dialog;
  ConfigureSaveDialog(dialog, wizard::SaveDialogSettingsFor(QDir::currentPath().toStdString(), ""));
  const QString json = QString::fromUtf8("Данные ленты JSON (*.json)");
  dialog.selectNameFilter(json);
  emit dialog.filterSelected(json);
  EXPECT_EQ(dialog.defaultSuffix(), "");
  dialog.selectFile(QString::fromStdString((Dir() / "day").string()));
  const std::optional<wizard::SaveChoice> choice = ChoiceOf(dialog);
  ASSERT_TRUE(choice);
  EXPECT_EQ(choice->filter, wizard::kJsonFilterIndex);
  EXPECT_EQ(wizard::PathToSave(*choice), (Dir() / "day.json").string());

  // Before a restoration there is nothing to save as data.
  SaveAs(Dir() / "day", wizard::kJsonFilterIndex);
  EXPECT_FALSE(fs::exists(Dir() / "day.json"));
  ASSERT_EQ(sim_.sink.messages.size(), 1u);
}

TEST_F(SaveWiringTest, UnderAllFilesTheNameIsSavedAsTyped) {
  SaveAs(Dir() / "README", 1);
  EXPECT_TRUE(fs::exists(Dir() / "README"));
  EXPECT_FALSE(fs::exists(Dir() / "README.FJL"));
}

TEST_F(SaveWiringTest, SavingBeforeAnyRestorationWritesTheEmptyFirstLine) {
  SaveAs(Dir() / "empty.FJL");
  EXPECT_EQ(FileBytes(Dir() / "empty.FJL"), "\r\n");
  EXPECT_TRUE(sim_.sink.errors.empty());
  EXPECT_TRUE(sim_.sink.messages.empty()) << "no message on success";
}

TEST_F(SaveWiringTest, EditedTextIsSavedInWindows1251WithCrLf) {
  form3().TextBox()->setPlainText(QString::fromUtf8("Контрольная лента.\n  Итог=1.00"));
  SaveAs(Dir() / "edited.FJL");
  // К о н т р о л ь н а я   л е н т а .   И т о г
  EXPECT_EQ(FileBytes(Dir() / "edited.FJL"),
            "\xCA\xEE\xED\xF2\xF0\xEE\xEB\xFC\xED\xE0\xFF \xEB\xE5\xED\xF2\xE0.\r\n"
            "  \xC8\xF2\xEE\xE3=1.00\r\n");
  EXPECT_EQ(Utf8(form3().TextBox()->toPlainText()), "Контрольная лента.\n  Итог=1.00")
      << "saving never changes the box";
}

TEST_F(SaveWiringTest, NameNotEndingInFjlGetsIt) {
  SaveAs(Dir() / "tape");
  EXPECT_TRUE(fs::exists(Dir() / "tape.FJL"));
  EXPECT_FALSE(fs::exists(Dir() / "tape"));
  // A dot in the name is no ".FJL": the file would hide from the filter.
  SaveAs(Dir() / "лента 08.12");
  EXPECT_TRUE(fs::exists(Dir() / "лента 08.12.FJL"));
  SaveAs(Dir() / "tape.fjl");
  EXPECT_TRUE(fs::exists(Dir() / "tape.fjl")) << "any case of .FJL is kept";
}

TEST_F(SaveWiringTest, NextSaveOpensInTheFolderOfTheLastOne) {
  const fs::path other = Dir() / "archive";
  fs::create_directory(other);
  SaveAs(other / "day.FJL");
  EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(),
            QDir(QString::fromStdString(other.string())).canonicalPath());
  chooser_.answer = std::nullopt;
  form3().SaveButton()->click();
  ASSERT_EQ(chooser_.asked.size(), 2u);
  EXPECT_EQ(QDir(QString::fromStdString(chooser_.asked[1].initial_folder)).canonicalPath(),
            QDir(QString::fromStdString(other.string())).canonicalPath());
}

TEST_F(SaveWiringTest, CancelWritesNothingAndChangesNothing) {
  WriteFile(Dir() / "kept.FJL", "earlier");
  chooser_.answer = std::nullopt;
  form3().SaveButton()->click();
  EXPECT_EQ(FileBytes(Dir() / "kept.FJL"), "earlier");
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir()), fs::directory_iterator()), 1);
  EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(dir_.path()).canonicalPath());
  EXPECT_TRUE(sim_.sink.errors.empty());
}

TEST_F(SaveWiringTest, SavingTwiceReplacesTheFile) {
  form3().TextBox()->setPlainText("first\nsecond\nthird");
  SaveAs(Dir() / "twice.FJL");
  form3().TextBox()->setPlainText("only");
  SaveAs(Dir() / "twice.FJL");
  EXPECT_EQ(FileBytes(Dir() / "twice.FJL"), "only\r\n");
}

// Makes writes of more than `bytes` to any file fail, as a full disk would;
// root ignores folder permissions but not this.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    old_handler_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    signal(SIGXFSZ, old_handler_);
  }

 private:
  rlimit saved_{};
  sighandler_t old_handler_{};
};

TEST_F(SaveWiringTest, FailedSaveShowsTheSystemMessageAndKeepsTheEarlierFile) {
  const fs::path target = Dir() / "day.FJL";
  WriteFile(target, "earlier\r\n");
  const fs::path other = Dir() / "elsewhere";
  fs::create_directory(other);
  form3().TextBox()->setPlainText(QString(200, u'x'));

  {
    FileSizeLimit limit(16);
    SaveAs(target);
  }
  ASSERT_EQ(sim_.sink.errors.size(), 1u);
  EXPECT_NE(sim_.sink.errors.front().find(target.string() + ": "), std::string::npos)
      << sim_.sink.errors.front();
  EXPECT_GT(sim_.sink.errors.front().size(), target.string().size() + 2) << "with the system's reason";
  EXPECT_EQ(FileBytes(target), "earlier\r\n");
  EXPECT_EQ(std::distance(fs::directory_iterator(Dir()), fs::directory_iterator()), 2)
      << "no temporary file is left behind";
  EXPECT_EQ(Utf8(form3().TextBox()->toPlainText()), std::string(200, 'x'));
  EXPECT_TRUE(sim_.sink.messages.empty());

  // A folder the program may not write to, where permissions apply.
  if (geteuid() != 0) {
    const fs::path locked = Dir() / "locked";
    fs::create_directory(locked);
    WriteFile(locked / "day.FJL", "earlier\r\n");
    chmod(locked.c_str(), 0555);
    SaveAs(locked / "day.FJL");
    chmod(locked.c_str(), 0755);
    EXPECT_EQ(sim_.sink.errors.size(), 2u);
    EXPECT_EQ(FileBytes(locked / "day.FJL"), "earlier\r\n");
  }
  // A failed save leaves the working directory where it was.
  EXPECT_EQ(QDir(QDir::currentPath()).canonicalPath(), QDir(dir_.path()).canonicalPath());
}

TEST_F(SaveWiringTest, FullRunSavesTheRestoredTapeAfterTheEmptyFirstLine) {
  sim_.ReachStep3();
  sim_.Restore();
  ASSERT_TRUE(sim_.Step3().RestoreFinished());
  SaveAs(Dir() / "restored");
  const std::string bytes = FileBytes(Dir() / "restored.FJL");

  // "", "Контрольная лента.", " ", "Заводской номер - 07104512", ...
  const std::string start =
      "\r\n"
      "\xCA\xEE\xED\xF2\xF0\xEE\xEB\xFC\xED\xE0\xFF \xEB\xE5\xED\xF2\xE0.\r\n"
      " \r\n"
      "\xC7\xE0\xE2\xEE\xE4\xF1\xEA\xEE\xE9 \xED\xEE\xEC\xE5\xF0 - 07104512\r\n";
  EXPECT_EQ(bytes.substr(0, start.size()), start);
  const std::string end = " \r\n \r\n \r\n" + std::string(50, '*') + "\r\n \r\n";
  ASSERT_GE(bytes.size(), end.size());
  EXPECT_EQ(bytes.substr(bytes.size() - end.size()), end);

  // Line for line the box, and nothing but Windows-1251 bytes.
  const std::vector<std::string> lines = form3().TextBox()->Lines();
  std::size_t line_ends = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i) line_ends += bytes[i] == '\r' && bytes[i + 1] == '\n';
  EXPECT_EQ(line_ends, lines.size());
  // "     имя товара=Хлеб пшеничный"
  EXPECT_NE(bytes.find("     \xE8\xEC\xFF \xF2\xEE\xE2\xE0\xF0\xE0=\xD5\xEB\xE5\xE1 "
                       "\xEF\xF8\xE5\xED\xE8\xF7\xED\xFB\xE9\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace fjl::app

namespace fjl::app {
namespace {

TEST(RussianQtTextsTest, FileDialogSpeaksRussianWhenQtsCatalogueIsThere) {
  QTranslator translator;
  if (!InstallRussianQtTexts(translator)) {
    GTEST_SKIP() << "Qt's Russian catalogue is not installed";
  }
  const QString look_in = QCoreApplication::translate("QFileDialog", "Look in:");
  QCoreApplication::removeTranslator(&translator);
  EXPECT_NE(look_in, "Look in:");
  EXPECT_TRUE(look_in.contains(QRegularExpression(QStringLiteral("[\\x{0400}-\\x{04FF}]"))))
      << Utf8(look_in);
}

}  // namespace
}  // namespace fjl::app
