#include "app/win32/progress_gauge.h"

#include <commctrl.h>

#include <string>

#include "app/win32/wide_text.h"

namespace fjl::app::win32 {
namespace {

constexpr UINT_PTR kSubclassId = 1;

// `text` centred in `box`, drawn only inside `clip`, in `colour`.
void DrawClipped(HDC context, const std::wstring& text, RECT box, const RECT& clip, COLORREF colour) {
  const int saved = SaveDC(context);
  IntersectClipRect(context, clip.left, clip.top, clip.right, clip.bottom);
  SetTextColor(context, colour);
  DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  RestoreDC(context, saved);
}

}  // namespace

ProgressGauge::ProgressGauge(HWND control, HFONT font) : control_(control), font_(font) {
  SetWindowSubclass(control_, &ProgressGauge::Procedure, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(control_, PBM_SETRANGE32, static_cast<WPARAM>(state_.Minimum()), static_cast<LPARAM>(state_.Maximum()));
}

ProgressGauge::~ProgressGauge() {
  if (control_ != nullptr) RemoveWindowSubclass(control_, &ProgressGauge::Procedure, kSubclassId);
}

void ProgressGauge::SetRange(std::int32_t minimum, std::int32_t maximum) {
  const int shown = state_.PercentDone();
  state_.SetRange(minimum, maximum);
  SendMessageW(control_, PBM_SETRANGE32, static_cast<WPARAM>(state_.Minimum()), static_cast<LPARAM>(state_.Maximum()));
  SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(state_.Progress()), 0);
  Redraw(shown);
}

void ProgressGauge::SetProgress(std::int32_t progress) {
  const int shown = state_.PercentDone();
  state_.SetProgress(progress);
  SendMessageW(control_, PBM_SETPOS, static_cast<WPARAM>(state_.Progress()), 0);
  Redraw(shown);
}

void ProgressGauge::Redraw(int shown_percent) {
  // The restoration runs inside one handler: a new percentage is painted now.
  if (state_.PercentDone() == shown_percent) return;
  InvalidateRect(control_, nullptr, FALSE);
  UpdateWindow(control_);
}

LRESULT CALLBACK ProgressGauge::Procedure(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                          DWORD_PTR self) {
  auto* gauge = reinterpret_cast<ProgressGauge*>(self);
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC context = BeginPaint(control, &paint);
      RECT area;
      GetClientRect(control, &area);
      gauge->Paint(context, area);
      EndPaint(control, &paint);
      return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETFONT:
      // A new DPI brings a new font.
      gauge->font_ = reinterpret_cast<HFONT>(wparam);
      break;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(gauge->font_);
    case WM_NCDESTROY:
      RemoveWindowSubclass(control, &ProgressGauge::Procedure, kSubclassId);
      gauge->control_ = nullptr;
      break;
    default: break;
  }
  return DefSubclassProc(control, message, wparam, lparam);
}

// Black on white, framed, with the percentage across the middle: black over
// the white part, white over the black.
void ProgressGauge::Paint(HDC context, const RECT& area) const {
  FrameRect(context, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  const RECT inside{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
  const int filled_width = state_.FilledWidth(inside.right - inside.left);
  const RECT filled{inside.left, inside.top, inside.left + filled_width, inside.bottom};
  const RECT empty{filled.right, inside.top, inside.right, inside.bottom};
  FillRect(context, &filled, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  FillRect(context, &empty, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

  const std::wstring text = Wide(state_.Text());
  HGDIOBJ old_font = SelectObject(context, font_);
  SetBkMode(context, TRANSPARENT);
  DrawClipped(context, text, inside, empty, RGB(0, 0, 0));
  DrawClipped(context, text, inside, filled, RGB(255, 255, 255));
  SelectObject(context, old_font);
}

}  // namespace fjl::app::win32
