#pragma once
// The one place that calls Windows functions newer than Windows 7. The
// programs start on Windows 7 SP1, so none of these may be imported: a
// missing import keeps the exe from starting at all. Each is looked up once,
// when the table is made, and each answer falls back to what Windows 7 has
// (one system DPI, AdjustWindowRectEx) when the function is not there.
// The build compiles for Windows 7 (WINVER 0x0601): the headers hide the
// newer declarations, so a direct call fails to compile.

#include <windows.h>

namespace fjl::app::win32 {

class NewerApi {
 public:
  // Where a function comes from: its address in the named system DLL, or
  // null where this Windows lacks it.
  using Resolver = FARPROC (*)(const wchar_t* dll, const char* function);

  explicit NewerApi(Resolver resolve);

  // The table of the running Windows, made on first use.
  static const NewerApi& System();

  // The DPI of the system as a whole: the one DPI of Windows 7 and 8, the
  // primary screen's at logon on later ones.
  UINT SystemDpi() const;
  // The DPI of the screen the window is on, where Windows tells each
  // window its own (10 1607 and later); the system DPI elsewhere.
  UINT WindowDpi(HWND window) const;
  // The window rectangle around `client` at `dpi`. Before Windows 10 1607
  // the frame is the system's, whatever the DPI asked for: there the
  // system DPI is the only one a window is drawn at.
  RECT FrameAround(RECT client, DWORD style, DWORD ex_style, UINT dpi) const;
  // A per-monitor (version 1) window's caption and frame follow its DPI
  // (Windows 10 1607 and later); call on WM_NCCREATE. False where the
  // system does not do it.
  bool EnableNonClientScaling(HWND window) const;

 private:
  using GetDpiForSystemFunction = UINT(WINAPI*)();
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  using EnableNonClientDpiScalingFunction = BOOL(WINAPI*)(HWND);

  GetDpiForSystemFunction get_dpi_for_system_ = nullptr;
  GetDpiForWindowFunction get_dpi_for_window_ = nullptr;
  AdjustWindowRectExForDpiFunction adjust_window_rect_ex_for_dpi_ = nullptr;
  EnableNonClientDpiScalingFunction enable_non_client_dpi_scaling_ = nullptr;
};

// The resolver of the running Windows: GetProcAddress in a DLL the program
// has already loaded (the ones it links), never loading another.
FARPROC SystemFunction(const wchar_t* dll, const char* function);

}  // namespace fjl::app::win32
