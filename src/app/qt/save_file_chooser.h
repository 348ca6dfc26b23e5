#pragma once
// Where "Сохранить" asks for the file name. The window talks to this small
// interface, so the tests name the file without a modal dialog.

#include <QString>
#include <QStringList>
#include <optional>

class QFileDialog;
class QWidget;

namespace fjl::app {

struct SaveDialogSettings {
  QString Title;
  QString InitialFolder;
  // Qt name filters, "description (pattern)"; the first one is selected.
  QStringList Filters;
  // Given to a name typed without one.
  QString DefaultSuffix;
  bool ConfirmOverwrite = false;
};

// The settings for the step 3 save, taken now: the dialog opens in the
// program's current working directory.
SaveDialogSettings CurrentSaveDialogSettings();

class SaveFileChooser {
 public:
  virtual ~SaveFileChooser() = default;
  // The chosen file's path, or nullopt when the user cancelled.
  virtual std::optional<QString> ChooseSaveFile(const SaveDialogSettings& settings) = 0;
};

// Applies `settings` to a save dialog that has not been shown yet.
void ConfigureSaveDialog(QFileDialog& dialog, const SaveDialogSettings& settings);

// The modal file dialog.
class DialogSaveFileChooser : public SaveFileChooser {
 public:
  explicit DialogSaveFileChooser(QWidget* parent) : parent_(parent) {}
  std::optional<QString> ChooseSaveFile(const SaveDialogSettings& settings) override;

 private:
  QWidget* parent_;
};

}  // namespace fjl::app
