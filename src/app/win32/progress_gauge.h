#pragma once
// The step 3 gauge on Win32: a progress bar control painted black on white,
// framed, with the percentage done written across it (wizard::GaugeState),
// as the Qt window's ProgressGauge. It repaints at once, and only when the
// shown percentage changes, so a restoration running inside one handler may
// feed it every record.

#include <windows.h>

#include <cstdint>

#include "wizard/gauge.h"

namespace fjl::app::win32 {

class ProgressGauge {
 public:
  // Paints `control`, a progress bar, from now on, writing in `font` and
  // in whatever font the control is given later (WM_SETFONT).
  ProgressGauge(HWND control, HFONT font);
  ~ProgressGauge();
  ProgressGauge(const ProgressGauge&) = delete;
  ProgressGauge& operator=(const ProgressGauge&) = delete;

  void SetRange(std::int32_t minimum, std::int32_t maximum);
  void SetProgress(std::int32_t progress);

 private:
  static LRESULT CALLBACK Procedure(HWND control, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                    DWORD_PTR self);
  void Paint(HDC context, const RECT& area) const;
  void Redraw(int shown_percent);

  HWND control_;
  HFONT font_;
  wizard::GaugeState state_;
};

}  // namespace fjl::app::win32
