// The wizard on the taskbar: the step window shown has a button and an
// Alt+Tab entry (real Windows gives an unowned tool window neither; wine
// gives it both, so the styles are read, not the screen); a download's and
// a restoration's progress reach that button through ITaskbarList3; and a
// system without the taskbar object runs the wizard all the same.

#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/win32/taskbar_progress.h"
#include "app/win32/tform2.h"
#include "app/win32/tform3.h"
#include "wizard/download_runner.h"
#include "wizard/step_messages.h"
#include "wizard/step3_presenter.h"

namespace fjl::app::win32 {
namespace {

// The shell's taskbar object as far as progress goes: what it was told, in
// order, and to which window.
// The toolkit on a clock the test moves.
class HeldClockToolkit final : public Win32Toolkit {
 public:
  using Win32Toolkit::Win32Toolkit;
  std::chrono::steady_clock::time_point Now() const override { return now; }
  std::chrono::steady_clock::time_point now{};
};

class FakeTaskbar final : public ITaskbarList3 {
 public:
  HRESULT init_result = S_OK;
  ULONG references = 1;
  std::vector<std::string> calls;
  std::vector<HWND> windows;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE HrInit() override { return init_result; }
  HRESULT STDMETHODCALLTYPE SetProgressValue(HWND window, ULONGLONG done, ULONGLONG total) override {
    return Told(window, std::to_string(done) + "/" + std::to_string(total));
  }
  HRESULT STDMETHODCALLTYPE SetProgressState(HWND window, TBPFLAG state) override {
    return Told(window, state == TBPF_NORMAL ? "normal" : state == TBPF_NOPROGRESS ? "none" : "other");
  }

  HRESULT STDMETHODCALLTYPE AddTab(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DeleteTab(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ActivateTab(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, WINBOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) override { return E_NOTIMPL; }

 private:
  HRESULT Told(HWND window, std::string what) {
    calls.push_back(std::move(what));
    windows.push_back(window);
    return S_OK;
  }
};

using Calls = std::vector<std::string>;

// Step 2 shown downloads, then step 3 restores: each run's progress, in
// thousandths, reaches the button of its step's window, only when the
// shown thousandth moves, and the button shows none after the run. One
// window is shown for real: wine takes two seconds to take one down.
TEST(Taskbar, TheShownStepHasAButtonAndShowsEachRunsProgress) {
  FakeTaskbar taskbar;
  {
    HeldClockToolkit toolkit{TaskbarProgress(&taskbar)};
    TForm2 form2(toolkit);
    TForm3 form3(toolkit);

    form2.ShowWindow();
    ASSERT_TRUE(IsWindowVisible(form2.Handle()));
    EXPECT_EQ(GetWindow(form2.Handle(), GW_OWNER), nullptr);
    // By the shell's rules an app window is on the taskbar and in Alt+Tab,
    // tool window or not; the tool window keeps the step's small caption.
    const LONG_PTR ex_style = GetWindowLongPtrW(form2.Handle(), GWL_EXSTYLE);
    EXPECT_NE(ex_style & WS_EX_APPWINDOW, 0);
    EXPECT_NE(ex_style & WS_EX_TOOLWINDOW, 0);

    wizard::DownloadRunner runner(toolkit);
    const wizard::DownloadHooks hooks{[](std::string_view) {}, [](std::string_view) {},
                                      [](std::string_view) { return false; }, [](wizard::DownloadPhase) {}};
    wizard::StepMessages<wizard::Step2Control> messages(form2);
    std::chrono::steady_clock::time_point& now = toolkit.now;
    runner.Run(hooks, form2, messages, [&now](const wizard::DownloadSurface& on) {
      // Shown at the redraw pace, before each exchange: 1024 and 1025 of
      // 4096 are both 250 thousandths, 2048 comes too soon after 1025, and
      // the end is shown however soon it comes.
      for (const std::int64_t stored : {0, 1024, 1025, 2048, 4096}) {
        if (stored != 2048) now += wizard::kRedrawInterval;
        on.boxes.ShowProgress(stored, 4096);
        on.stop.StopRequested();
      }
      return tape::DownloadOutcome::Success;
    });
    EXPECT_EQ(taskbar.calls, (Calls{"normal", "0/1000", "250/1000", "1000/1000", "none"}));
    EXPECT_EQ(taskbar.windows, std::vector<HWND>(5, form2.Handle()));

    // What showing step 3 tells the toolkit.
    toolkit.StepShown(form3.Handle());
    taskbar.calls.clear();
    taskbar.windows.clear();
    wizard::RestoreWindowView gauge(form3, toolkit);
    toolkit.BeginBusy({});
    // 150 of 100..300 is a quarter of the way.
    gauge.SetGaugeRange(100, 300);
    gauge.SetGaugeProgress(150);
    gauge.SetGaugeProgress(300);
    toolkit.EndBusy();
    EXPECT_EQ(taskbar.calls, (Calls{"normal", "250/1000", "1000/1000", "none"}));
    EXPECT_EQ(taskbar.windows, std::vector<HWND>(4, form3.Handle()));
  }
  EXPECT_EQ(taskbar.references, 1u) << "the toolkit let go of the taskbar";
}

// What a stand-in CoCreateInstance gives: `offered` when it is asked for
// the taskbar's class and interface.
HRESULT offered_result = S_OK;
FakeTaskbar* offered = nullptr;

HRESULT WINAPI CreateStandIn(REFCLSID kind, LPUNKNOWN, DWORD, REFIID interface_id, LPVOID* out) {
  *out = nullptr;
  if (!IsEqualCLSID(kind, CLSID_TaskbarList) || !IsEqualIID(interface_id, IID_ITaskbarList3)) return E_NOINTERFACE;
  if (FAILED(offered_result)) return offered_result;
  if (offered != nullptr) {
    offered->AddRef();
    *out = static_cast<ITaskbarList3*>(offered);
  }
  return S_OK;
}

TEST(Taskbar, WithoutTheTaskbarObjectTheWizardRunsPlain) {
  struct Case {
    const char* name;
    HRESULT created;
    bool object;
    HRESULT initialised;
    bool present;
  };
  const Case cases[] = {
      {"no such class (no shell)", REGDB_E_CLASSNOTREG, false, S_OK, false},
      {"no taskbar running", S_OK, true, E_FAIL, false},
      {"the taskbar", S_OK, true, S_OK, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTaskbar taskbar;
    taskbar.init_result = c.initialised;
    offered_result = c.created;
    offered = c.object ? &taskbar : nullptr;
    {
      TaskbarProgress progress = TaskbarProgress::OfShell(&CreateStandIn);
      EXPECT_EQ(progress.Present(), c.present);
      Win32Toolkit toolkit(std::move(progress));
      toolkit.StepShown(GetDesktopWindow());
      toolkit.BeginBusy({});
      toolkit.ShowTaskProgress(1, 2);
      toolkit.EndBusy();
    }
    EXPECT_EQ(taskbar.calls.size(), c.present ? 3u : 0u);
    EXPECT_EQ(taskbar.references, 1u) << "nothing kept";
  }
  offered = nullptr;

  // The real object on a thread that never started COM: not to be had.
  bool present = true;
  std::thread([&present] { present = TaskbarProgress::OfShell().Present(); }).join();
  EXPECT_FALSE(present);
}

}  // namespace
}  // namespace fjl::app::win32
