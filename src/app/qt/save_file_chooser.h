#pragma once
// Where "Сохранить" asks for the file name. The window talks to this small
// interface, so the tests name the file without a modal dialog.

#include <optional>

#include "wizard/save_dialog.h"

class QFileDialog;
class QWidget;

namespace fjl::app {

class SaveFileChooser {
 public:
  virtual ~SaveFileChooser() = default;
  // The chosen file (the system's narrow name) and filter, or nullopt when
  // the user cancelled.
  virtual std::optional<wizard::SaveChoice> ChooseSaveFile(const wizard::SaveDialogSettings& settings) = 0;
};

// Applies `settings` to a save dialog that has not been shown yet. The
// dialog completes a name with ".FJL" only while the FJL filter is chosen.
void ConfigureSaveDialog(QFileDialog& dialog, const wizard::SaveDialogSettings& settings);

// What the user chose in a dialog that was accepted.
std::optional<wizard::SaveChoice> ChoiceOf(const QFileDialog& dialog);

// The modal file dialog.
class DialogSaveFileChooser : public SaveFileChooser {
 public:
  explicit DialogSaveFileChooser(QWidget* parent) : parent_(parent) {}
  std::optional<wizard::SaveChoice> ChooseSaveFile(const wizard::SaveDialogSettings& settings) override;

 private:
  QWidget* parent_;
};

}  // namespace fjl::app
