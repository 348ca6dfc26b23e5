#include "app/qt/save_file_chooser.h"

#include <QDir>
#include <QFileDialog>

#include "app/qt/layout_helpers.h"
#include "output/save_dialog.h"

namespace fjl::app {

SaveDialogSettings CurrentSaveDialogSettings() {
  SaveDialogSettings settings;
  settings.Title = ToQString(output::kSaveDialogTitle);
  settings.InitialFolder = QDir::currentPath();
  // Qt reads each filter's pattern from the parentheses that close its
  // description, so the descriptions are the filters: "*.FJL" for the first;
  // the second's "(*.*)" is taken as "*.*", everything with an extension.
  for (const output::FileFilter& filter : output::kSaveDialogFilters) {
    settings.Filters << ToQString(filter.description);
  }
  // The default extension is given as "*.FJL"; a name gets its "FJL" part.
  settings.DefaultSuffix = ToQString(output::kDefaultExtension.substr(2));
  settings.ConfirmOverwrite = false;
  return settings;
}

void ConfigureSaveDialog(QFileDialog& dialog, const SaveDialogSettings& settings) {
  dialog.setWindowTitle(settings.Title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDirectory(settings.InitialFolder);
  dialog.setNameFilters(settings.Filters);
  if (!settings.Filters.isEmpty()) dialog.selectNameFilter(settings.Filters.front());
  dialog.setDefaultSuffix(settings.DefaultSuffix);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.ConfirmOverwrite);
  // Qt's own dialog looks and behaves the same on every desktop, and it has
  // no read-only check box to hide.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setSizeGripEnabled(true);
}

std::optional<QString> DialogSaveFileChooser::ChooseSaveFile(const SaveDialogSettings& settings) {
  QFileDialog dialog(parent_);
  ConfigureSaveDialog(dialog, settings);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  return chosen.front();
}

}  // namespace fjl::app
