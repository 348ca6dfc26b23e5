// fjl-restore.exe: the three-step wizard as a native Windows program.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "app/win32/step_window.h"
#include "app/win32/taskbar_progress.h"
#include "app/win32/tform1.h"
#include "app/win32/tform2.h"
#include "app/win32/tform3.h"
#include "app/win32/wide_text.h"
#include "app/win32/win32_toolkit.h"
#include "dump/kept_downloads.h"
#include "link/device_link.h"
#include "platform/user_folders.h"
#include "port/port_control.h"
#include "port/port_extra_ports.h"
#include "port/port_listing.h"
#include "wizard/guarded.h"
#include "wizard/wizard_steps.h"

namespace {

using namespace fjl::app::win32;

// The three step windows, created once in order, under the presenters.
struct Wizard {
  explicit Wizard(fjl::link::DeviceLink& link)
      : Toolkit(TaskbarProgress::OfShell()),
        Form1(Toolkit),
        Form2(Toolkit),
        Form3(Toolkit),
        Steps({link, Toolkit, &fjl::port::ListPorts, fjl::dump::KeptDownloadsRoot(fjl::platform::UserCacheFolder()),
               fjl::platform::UserDocumentsFolder()},
              Form1, Form2, Form3) {
    Form1.Attach(Steps.step1);
    Form2.Attach(Steps.step2);
    Form3.Attach(Steps.step3);
  }

  Win32Toolkit Toolkit;
  TForm1 Form1;
  TForm2 Form2;
  TForm3 Form3;
  fjl::wizard::WizardSteps Steps;
};

void ShowFatalError(std::string_view text) {
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(fjl::wizard::kStep1Caption).c_str(), MB_OK | MB_ICONERROR);
}

// `extra_ports`: FJL_EXTRA_PORTS, ports the system does not list (a
// simulator's port mapped by hand); null when unset.
int RunWizard(const char* extra_ports) {
  fjl::port::TPortControl::SetExtraPorts(fjl::port::SplitPortList(extra_ports != nullptr ? extra_ports : ""));
  fjl::link::DeviceLink link;
  Wizard wizard(link);
  wizard.Steps.Start();
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (StepWindow::HandleKey(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  // The taskbar button's progress is a COM object of the shell, and the
  // save dialog's shell extensions expect a single-threaded apartment too.
  // Without COM the wizard still runs, its taskbar button plain.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  // An error outside any handler (a window Windows would not make) leaves
  // nothing sensible to run.
  int status = 1;
  fjl::wizard::RunGuarded(&ShowFatalError, [&status] { status = RunWizard(std::getenv("FJL_EXTRA_PORTS")); });
  if (com) CoUninitialize();
  return status;
}
