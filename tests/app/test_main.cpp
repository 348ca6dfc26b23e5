// The GUI tests share one application object, the program's own, so its
// last-resort exception handling is under test too.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QtGlobal>

#include "app/qt/guarded_application.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  // The file dialogs keep their state in QtProject.conf under the user's
  // configuration folder: a test's dialogs write a folder of their own.
  const QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  ::testing::InitGoogleTest(&argc, argv);
  fjl::app::GuardedApplication application(argc, argv);
  return RUN_ALL_TESTS();
}
