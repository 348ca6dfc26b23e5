#include "app/win32/newer_api.h"

namespace fjl::app::win32 {
namespace {

// GetProcAddress gives every function one type; the real one is the
// caller's to know. The step through void (*)() is the cast the compiler
// accepts between function types without a warning.
template <class Function>
Function Typed(FARPROC address) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

}  // namespace

FARPROC SystemFunction(const wchar_t* dll, const char* function) {
  HMODULE module = GetModuleHandleW(dll);
  return module != nullptr ? GetProcAddress(module, function) : nullptr;
}

NewerApi::NewerApi(Resolver resolve) {
  // Windows 10 1607.
  get_dpi_for_system_ = Typed<GetDpiForSystemFunction>(resolve(L"user32.dll", "GetDpiForSystem"));
  get_dpi_for_window_ = Typed<GetDpiForWindowFunction>(resolve(L"user32.dll", "GetDpiForWindow"));
  adjust_window_rect_ex_for_dpi_ =
      Typed<AdjustWindowRectExForDpiFunction>(resolve(L"user32.dll", "AdjustWindowRectExForDpi"));
  enable_non_client_dpi_scaling_ =
      Typed<EnableNonClientDpiScalingFunction>(resolve(L"user32.dll", "EnableNonClientDpiScaling"));
}

const NewerApi& NewerApi::System() {
  static const NewerApi api(&SystemFunction);
  return api;
}

UINT NewerApi::SystemDpi() const {
  if (get_dpi_for_system_ != nullptr) return get_dpi_for_system_();
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

UINT NewerApi::WindowDpi(HWND window) const {
  if (get_dpi_for_window_ != nullptr) {
    // 0 for a handle that is no window.
    const UINT dpi = get_dpi_for_window_(window);
    if (dpi != 0) return dpi;
  }
  return SystemDpi();
}

RECT NewerApi::FrameAround(RECT client, DWORD style, DWORD ex_style, UINT dpi) const {
  if (adjust_window_rect_ex_for_dpi_ != nullptr) {
    adjust_window_rect_ex_for_dpi_(&client, style, FALSE, ex_style, dpi);
  } else {
    AdjustWindowRectEx(&client, style, FALSE, ex_style);
  }
  return client;
}

bool NewerApi::EnableNonClientScaling(HWND window) const {
  return enable_non_client_dpi_scaling_ != nullptr && enable_non_client_dpi_scaling_(window) != FALSE;
}

}  // namespace fjl::app::win32
