// The functions newer than Windows 7, looked up through a resolver: where
// none is found (Windows 7) each answer is the system DPI's; where one is,
// its own answer comes back through the typed pointer.

#include <gtest/gtest.h>
#include <windows.h>

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

bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(NewerApi, WindowsSevenAnswersWithTheSystemDpi) {
  const NewerApi api(&NothingFound);
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);

  EXPECT_EQ(api.SystemDpi(), ScreenDpi());
  EXPECT_EQ(api.WindowDpi(window), ScreenDpi());
  // The system's frame, whatever DPI is asked for.
  const DWORD style = WS_POPUP | WS_CAPTION;
  const DWORD ex_style = WS_EX_TOOLWINDOW;
  RECT expected{0, 0, 400, 300};
  AdjustWindowRectEx(&expected, style, FALSE, ex_style);
  EXPECT_TRUE(api.FrameAround({0, 0, 400, 300}, style, ex_style, 192) == expected);
  EXPECT_FALSE(api.EnableNonClientScaling(window));
  DestroyWindow(window);
}

TEST(NewerApi, FoundFunctionsGiveTheirOwnAnswers) {
  const NewerApi api(&StandIns);
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);

  EXPECT_EQ(api.SystemDpi(), 120u);
  EXPECT_EQ(api.WindowDpi(window), 144u);
  // No window: GetDpiForWindow's 0 gives way to the system DPI.
  EXPECT_EQ(api.WindowDpi(nullptr), 120u);
  // 192 dpi: borders of 12, the top one 24.
  EXPECT_TRUE(api.FrameAround({0, 0, 400, 300}, WS_CAPTION, 0, 192) == (RECT{-12, -24, 412, 312}));
  EXPECT_TRUE(api.EnableNonClientScaling(window));
  DestroyWindow(window);
}

}  // namespace
}  // namespace fjl::app::win32
