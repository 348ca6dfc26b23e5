#include "app/win32/tform3.h"

#include <commctrl.h>
#include <commdlg.h>

#include "app/win32/wide_text.h"
#include "wizard/keyboard.h"

namespace fjl::app::win32 {
namespace {

using wizard::Step3Control;

// The step 3 layout, in 96-dpi pixels.
constexpr int kMargin = 12;  // from the window's edges
constexpr int kTextToGauge = 8;
constexpr int kGaugeHeight = 20;
constexpr int kGaugeToButtons = 12;
constexpr int kRestoreWidth = 160;
constexpr int kButtonWidth = 110;
constexpr int kButtonGap = 8;

// A line break inside a line would split it in two in the box, and the box's
// lines would no longer be the restoration's.
std::wstring OneLine(std::string_view utf8) {
  std::wstring line = Wide(utf8);
  for (wchar_t& character : line) {
    if (character == L'\r' || character == L'\n') character = L' ';
  }
  return line;
}

// The dialog's filter list: description and pattern pairs, each ended by a
// zero, the list by a second one. A pattern written in parentheses, as
// "(*.*)" is, means what it encloses.
std::wstring FilterList(const wizard::SaveDialogSettings& settings) {
  std::wstring list;
  for (const output::FileFilter& filter : settings.filters) {
    std::string_view pattern = filter.pattern;
    if (pattern.size() >= 2 && pattern.front() == '(' && pattern.back() == ')') {
      pattern = pattern.substr(1, pattern.size() - 2);
    }
    list += Wide(filter.description);
    list += L'\0';
    list += Wide(pattern);
    list += L'\0';
  }
  list += L'\0';
  return list;
}

}  // namespace

TForm3::TForm3(Win32Toolkit& toolkit) : StepForm(toolkit, wizard::kStep3Caption, wizard::kStep3Size) {
  using namespace wizard;
  auto set = [this](Step3Control control, HWND window) { controls_[static_cast<std::size_t>(control)] = window; };
  const int width = kStep3Size.width - 2 * kMargin;
  const int buttons_y = kStep3Size.height - kMargin - kButtonHeight;
  const int gauge_y = buttons_y - kGaugeToButtons - kGaugeHeight;

  HWND text = AddControl(WC_EDITW, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL | WS_VSCROLL,
                         kMargin, kMargin, width, gauge_y - kTextToGauge - kMargin, {}, WS_EX_CLIENTEDGE);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(MakeFont(L"Courier New", 8)), FALSE);
  // A whole tape is some megabytes of text; the box's default cap is 30,000
  // characters.
  SendMessageW(text, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  set(Step3Control::TapeText, text);

  gauge_ = AddControl(PROGRESS_CLASSW, PBS_SMOOTH, kMargin, gauge_y, width, kGaugeHeight);
  SetWindowSubclass(gauge_, &TForm3::GaugeProcedure, 1, reinterpret_cast<DWORD_PTR>(this));
  SendMessageW(gauge_, PBM_SETRANGE32, static_cast<WPARAM>(gauge_state_.Minimum()),
               static_cast<LPARAM>(gauge_state_.Maximum()));

  set(Step3Control::RestoreButton,
      AddButton(kRestoreText, kMargin, buttons_y, kRestoreWidth, [this] { Button3Click(); }));
  set(Step3Control::SaveButton, AddButton(kSaveText, kMargin + kRestoreWidth + kButtonGap, buttons_y, kButtonWidth,
                                          [this] { Button1Click(); }));
  set(Step3Control::FinishButton, AddButton(kFinishText, kStep3Size.width - kMargin - kButtonWidth, buttons_y,
                                            kButtonWidth, [this] { Button2Click(); }));

  std::vector<HWND> stops;
  for (Step3Control control : kStep3TabStops) stops.push_back(Control(control));
  SetTabStops(std::move(stops));
}

HWND TForm3::Control(Step3Control control) const { return controls_[static_cast<std::size_t>(control)]; }

void TForm3::SetText(Step3Control control, std::string_view text) {
  if (control != Step3Control::TapeText) {
    SetControlText(Control(control), text);
    return;
  }
  // The box's lines end in CR LF.
  std::wstring wide;
  for (wchar_t character : Wide(text)) {
    if (character == L'\n') wide += L'\r';
    if (character != L'\r') wide += character;
  }
  SetWindowTextW(Control(control), wide.c_str());
}

std::string TForm3::Text(Step3Control control) const { return ControlText(Control(control)); }

void TForm3::SetEnabled(Step3Control control, bool enabled) { EnableWindow(Control(control), enabled ? TRUE : FALSE); }

void TForm3::SetFocus(Step3Control control) { ::SetFocus(Control(control)); }

std::vector<std::string> TForm3::TapeLines() const {
  const std::wstring text = WindowText(Control(Step3Control::TapeText));
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find(L"\r\n", start);
    if (end == std::wstring::npos) {
      lines.push_back(Utf8(std::wstring_view(text).substr(start)));
      return lines;
    }
    lines.push_back(Utf8(std::wstring_view(text).substr(start, end - start)));
    start = end + 2;
  }
}

void TForm3::AppendLines(std::span<const std::string> lines) {
  if (lines.empty()) return;
  std::wstring batch;
  for (const std::string& line : lines) {
    batch += L"\r\n";
    batch += OneLine(line);
  }
  HWND box = Control(Step3Control::TapeText);
  // One edit for the whole batch, drawn once, and the box left showing
  // what it showed, with the caret and selection where they were: the
  // lines arrive below, as in a growing document.
  DWORD selection_start = 0;
  DWORD selection_end = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&selection_start), reinterpret_cast<LPARAM>(&selection_end));
  const LRESULT first_shown = SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0);
  SendMessageW(box, WM_SETREDRAW, FALSE, 0);
  const int end = GetWindowTextLengthW(box);
  SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
  SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(batch.c_str()));
  SendMessageW(box, EM_SETSEL, selection_start, selection_end);
  SendMessageW(box, EM_LINESCROLL, 0, first_shown - SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0));
  SendMessageW(box, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(box, nullptr, TRUE);
}

void TForm3::SetGaugeRange(std::int32_t minimum, std::int32_t maximum) {
  const int shown = gauge_state_.PercentDone();
  gauge_state_.SetRange(minimum, maximum);
  SendMessageW(gauge_, PBM_SETRANGE32, static_cast<WPARAM>(gauge_state_.Minimum()),
               static_cast<LPARAM>(gauge_state_.Maximum()));
  SendMessageW(gauge_, PBM_SETPOS, static_cast<WPARAM>(gauge_state_.Progress()), 0);
  RedrawGauge(shown);
}

void TForm3::SetGaugeProgress(std::int32_t progress) {
  const int shown = gauge_state_.PercentDone();
  gauge_state_.SetProgress(progress);
  SendMessageW(gauge_, PBM_SETPOS, static_cast<WPARAM>(gauge_state_.Progress()), 0);
  RedrawGauge(shown);
}

void TForm3::RedrawGauge(int shown_percent) {
  // The restoration runs inside one handler: a new percentage is painted now.
  if (gauge_state_.PercentDone() == shown_percent) return;
  InvalidateRect(gauge_, nullptr, FALSE);
  UpdateWindow(gauge_);
}

LRESULT CALLBACK TForm3::GaugeProcedure(HWND gauge, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                        DWORD_PTR self) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC context = BeginPaint(gauge, &paint);
    RECT area;
    GetClientRect(gauge, &area);
    reinterpret_cast<const TForm3*>(self)->PaintGauge(context, area);
    EndPaint(gauge, &paint);
    return 0;
  }
  if (message == WM_ERASEBKGND) return 1;
  return DefSubclassProc(gauge, message, wparam, lparam);
}

// Black on white, framed, with the percentage across the middle: black over
// the white part, white over the black.
void TForm3::PaintGauge(HDC context, const RECT& area) const {
  FrameRect(context, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  RECT inside{area.left + 1, area.top + 1, area.right - 1, area.bottom - 1};
  const int filled_width = gauge_state_.FilledWidth(inside.right - inside.left);
  RECT filled{inside.left, inside.top, inside.left + filled_width, inside.bottom};
  RECT empty{filled.right, inside.top, inside.right, inside.bottom};
  FillRect(context, &filled, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  FillRect(context, &empty, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));

  const std::wstring text = Wide(gauge_state_.Text());
  HGDIOBJ old_font = SelectObject(context, WindowFont());
  SetBkMode(context, TRANSPARENT);
  const int saved = SaveDC(context);
  IntersectClipRect(context, empty.left, empty.top, empty.right, empty.bottom);
  SetTextColor(context, RGB(0, 0, 0));
  RECT box = inside;
  DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  RestoreDC(context, saved);
  const int saved_again = SaveDC(context);
  IntersectClipRect(context, filled.left, filled.top, filled.right, filled.bottom);
  SetTextColor(context, RGB(255, 255, 255));
  box = inside;
  DrawTextW(context, text.c_str(), static_cast<int>(text.size()), &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  RestoreDC(context, saved_again);
  SelectObject(context, old_font);
}

std::optional<wizard::SaveChoice> TForm3::ChooseSaveFile(const wizard::SaveDialogSettings& settings) {
  const std::wstring filters = FilterList(settings);
  const std::wstring title = Wide(settings.title);
  const std::wstring folder = Wide(settings.initial_folder);
  // The proposed name, in a buffer the dialog writes the chosen one into.
  std::wstring name = Wide(settings.file_name);
  name.resize(32768, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof(dialog);
  dialog.hwndOwner = Handle();
  dialog.lpstrFilter = filters.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(wizard::kFjlFilterIndex + 1);
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrTitle = title.c_str();
  // No extension from the dialog: the wizard adds ".FJL" itself, and only
  // while the FJL filter is chosen.
  dialog.lpstrDefExt = nullptr;
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST |
                 (settings.confirm_overwrite ? OFN_OVERWRITEPROMPT : 0);
  if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  name.resize(wcslen(name.c_str()));
  if (name.empty()) return std::nullopt;
  return wizard::SaveChoice{Utf8(name), dialog.nFilterIndex == 0 ? wizard::kFjlFilterIndex : dialog.nFilterIndex - 1};
}

void TForm3::Button1Click() {
  if (presenter_ != nullptr) presenter_->Save();
}

void TForm3::Button2Click() {
  if (presenter_ != nullptr) presenter_->Finish();
}

void TForm3::Button3Click() {
  if (presenter_ != nullptr) presenter_->Restore();
}

void TForm3::CloseRequested() {
  if (presenter_ != nullptr) presenter_->CloseRequested();
}

}  // namespace fjl::app::win32
