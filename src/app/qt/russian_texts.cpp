#include "app/qt/russian_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace fjl::app {

bool InstallRussianQtTexts(QTranslator& translator) {
  if (!translator.load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    return false;
  }
  return QCoreApplication::installTranslator(&translator);
}

}  // namespace fjl::app
