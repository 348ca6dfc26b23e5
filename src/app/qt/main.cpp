// fjl-restore: the three-step wizard that downloads, restores and saves the
// electronic control tape.

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/qt/command_line.h"
#include "app/qt/guarded_application.h"
#include "app/qt/qt_message_sink.h"
#include "app/qt/russian_texts.h"
#include "app/qt/wizard.h"
#include "cli/catalogue.h"
#include "dump/kept_downloads.h"
#include "fjl_version.h"
#include "link/device_link.h"
#include "platform/user_folders.h"
#include "port/port_control.h"
#include "port/port_extra_ports.h"
#include "wizard/guarded.h"

int main(int argc, char** argv) {
  if (const auto info = fjl::app::InfoText("fjl-restore", std::vector<std::string>(argv + 1, argv + argc))) {
    std::fputs(info->c_str(), stdout);
    return 0;
  }
  // Without a display Qt aborts with advice to reinstall; say what is
  // missing instead, and what works without one.
  if (fjl::app::NoDisplay(std::vector<std::string>(argv + 1, argv + argc))) {
    const fjl::cli::Catalogue& texts = fjl::cli::Catalogue::For(fjl::cli::UserLanguage());
    std::fputs((texts.Text("wizard.no_display") + "\n").c_str(), stderr);
    return 1;
  }
  fjl::app::GuardedApplication application(argc, argv);
  // The version and the menu entry reach the desktop here; the step windows'
  // captions stay as they are.
  QCoreApplication::setApplicationVersion(fjl::kVersion);
  QGuiApplication::setDesktopFileName("fjl-restore");
  // The main window's closing ends the program, whatever else is visible.
  QApplication::setQuitOnLastWindowClosed(false);
  QTranslator qt_texts;
  fjl::app::InstallRussianQtTexts(qt_texts);

  // QApplication has taken its own options out of argv by now.
  std::vector<std::string> args(argv + 1, argv + argc);
  const fjl::app::CommandLineResult parsed = fjl::app::ParseCommandLine(args);
  if (!parsed.options) {
    std::fprintf(stderr, "fjl-restore: %s\n%s", parsed.error.c_str(),
                 fjl::app::UsageText("fjl-restore").c_str());
    return 2;
  }
  const char* environment_ports = std::getenv("FJL_EXTRA_PORTS");
  fjl::port::TPortControl::SetExtraPorts(fjl::app::CollectExtraPorts(
      fjl::port::SplitPortList(environment_ports != nullptr ? environment_ports : ""), *parsed.options));

  fjl::link::DeviceLink link;
  fjl::app::QtMessageBoxes boxes;
  fjl::app::QtMessageSink messages(boxes);
  application.SetMessages(&messages);

  fjl::app::Wizard wizard(link, boxes, fjl::dump::KeptDownloadsRoot(fjl::platform::UserCacheFolder()),
                          fjl::platform::UserDocumentsFolder());
  QObject::connect(&wizard.Form1, &fjl::app::TForm1::MainWindowClosed, &application,
                   &QCoreApplication::quit, Qt::QueuedConnection);
  wizard.Steps.Start();
  // An error outside any event handler leaves nothing sensible to run.
  int status = 1;
  fjl::wizard::RunGuarded([&messages](std::string_view error) { messages.ShowError(error); },
                          [&status] { status = QApplication::exec(); });
  return status;
}
