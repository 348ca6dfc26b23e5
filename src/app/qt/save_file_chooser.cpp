#include "app/qt/save_file_chooser.h"

#include <QFile>
#include <QFileDialog>

#include "app/qt/layout_helpers.h"

namespace fjl::app {
namespace {

// The default extension is given as "*.FJL"; a name gets its "FJL" part.
QString SuffixOf(const wizard::SaveDialogSettings& settings) {
  const std::string& extension = settings.default_extension;
  const std::size_t dot = extension.rfind('.');
  return ToQString(dot == std::string::npos ? extension : extension.substr(dot + 1));
}

}  // namespace

void ConfigureSaveDialog(QFileDialog& dialog, const wizard::SaveDialogSettings& settings) {
  dialog.setWindowTitle(ToQString(settings.title));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDirectory(QFile::decodeName(QByteArray::fromStdString(settings.initial_folder)));
  if (!settings.file_name.empty()) dialog.selectFile(ToQString(settings.file_name));
  // Qt reads each filter's pattern from the parentheses that close its
  // description, so the descriptions are the filters: "*.FJL" for the first;
  // the second's "(*.*)" is taken as "*.*", everything with an extension.
  QStringList filters;
  for (const output::FileFilter& filter : settings.filters) filters << ToQString(filter.description);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
  const QString suffix = SuffixOf(settings);
  const QString fjl_filter =
      settings.filters.size() > wizard::kFjlFilterIndex ? filters[static_cast<qsizetype>(wizard::kFjlFilterIndex)] : QString();
  dialog.setDefaultSuffix(dialog.selectedNameFilter() == fjl_filter ? suffix : QString());
  // Under "Все файлы (*.*)" a name is saved as typed.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                   [&dialog, suffix, fjl_filter](const QString& filter) {
                     dialog.setDefaultSuffix(filter == fjl_filter ? suffix : QString());
                   });
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !settings.confirm_overwrite);
  // Qt's own dialog looks and behaves the same on every desktop, and it has
  // no read-only check box to hide.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setSizeGripEnabled(true);
}

std::optional<wizard::SaveChoice> ChoiceOf(const QFileDialog& dialog) {
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty() || chosen.front().isEmpty()) return std::nullopt;
  const qsizetype filter = dialog.nameFilters().indexOf(dialog.selectedNameFilter());
  return wizard::SaveChoice{QFile::encodeName(chosen.front()).toStdString(),
                            filter < 0 ? wizard::kFjlFilterIndex : static_cast<std::size_t>(filter)};
}

std::optional<wizard::SaveChoice> DialogSaveFileChooser::ChooseSaveFile(const wizard::SaveDialogSettings& settings) {
  QFileDialog dialog(parent_);
  ConfigureSaveDialog(dialog, settings);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return ChoiceOf(dialog);
}

}  // namespace fjl::app
