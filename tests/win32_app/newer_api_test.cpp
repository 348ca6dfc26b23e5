// The functions newer than Windows 7, looked up through a resolver: where
// none is found (Windows 7) each answer is the system DPI's; where one is,
// its own answer comes back through the typed pointer.

#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstring>

#include "app/win32/newer_api.h"

namespace fjl::app::win32 {
namespace {

FARPROC NothingFound(const wchar_t*, const char*) { return nullptr; }

UINT WINAPI SystemAt120() { return 120; }
// 0 is GetDpiForWindow's answer for a handle that is no window.
UINT WINAPI WindowAt144(HWND window) { return window != nullptr ? 144 : 0; }
BOOL WINAPI FrameOfDpi(RECT* rect, DWORD, BOOL, DWORD, UINT dpi) {
  const auto border = static_cast<LONG>(dpi / 16);
  *rect = {rect->left - border, rect->top - 2 * border, rect->right + border, rect->bottom + border};
  return TRUE;
}
BOOL WINAPI Scaled(HWND) { return TRUE; }

// Stand-ins for Windows 10's functions, in user32 alone as there.
FARPROC StandIns(const wchar_t* dll, const char* function) {
  if (_wcsicmp(dll, L"user32.dll") != 0) return nullptr;
  const auto as_farproc = [](auto* stand_in) { return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(stand_in)); };
  if (std::strcmp(function, "GetDpiForSystem") == 0) return as_farproc(&SystemAt120);
  if (std::strcmp(function, "GetDpiForWindow") == 0) return as_farproc(&WindowAt144);
  if (std::strcmp(function, "AdjustWindowRectExForDpi") == 0) return as_farproc(&FrameOfDpi);
  if (std::strcmp(function, "EnableNonClientDpiScaling") == 0) return as_farproc(&Scaled);
  return nullptr;
}

UINT ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return static_cast<UINT>(dpi);
}

TEST(NewerApi, AnswersComeFromWhatTheResolverFinds) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  // Windows 7's frame is the system's, whatever DPI is asked for.
  RECT system_frame{0, 0, 400, 300};
  AdjustWindowRectEx(&system_frame, WS_CAPTION, FALSE, 0);
  struct Case {
    const char* name;
    NewerApi::Resolver resolve;
    UINT system_dpi, window_dpi;
    RECT frame_at_192;
    bool scaled;
  };
  const Case cases[] = {
      {"Windows 7: nothing found", &NothingFound, ScreenDpi(), ScreenDpi(), system_frame, false},
      // At 192 dpi the stand-in's borders are 12, the top one 24.
      {"Windows 10: stand-ins", &StandIns, 120, 144, {-12, -24, 412, 312}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const NewerApi api(c.resolve);
    EXPECT_EQ(api.SystemDpi(), c.system_dpi);
    EXPECT_EQ(api.WindowDpi(window), c.window_dpi);
    // No window: GetDpiForWindow's 0 gives way to the system DPI.
    EXPECT_EQ(api.WindowDpi(nullptr), c.system_dpi);
    const RECT frame = api.FrameAround({0, 0, 400, 300}, WS_CAPTION, 0, 192);
    EXPECT_EQ((std::array{frame.left, frame.top, frame.right, frame.bottom}),
              (std::array{c.frame_at_192.left, c.frame_at_192.top, c.frame_at_192.right, c.frame_at_192.bottom}));
    EXPECT_EQ(api.EnableNonClientScaling(window), c.scaled);
  }
  DestroyWindow(window);
}

}  // namespace
}  // namespace fjl::app::win32
