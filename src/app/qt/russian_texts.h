#pragma once
// Qt's own texts (the file dialog's "Look in:", "Save", "Cancel") in Russian,
// like every other text of the program.

#include <QTranslator>

namespace fjl::app {

// Loads Qt's Russian catalogue into `translator` and installs it; false,
// leaving Qt's English texts, when the catalogue is not installed.
bool InstallRussianQtTexts(QTranslator& translator);

}  // namespace fjl::app
