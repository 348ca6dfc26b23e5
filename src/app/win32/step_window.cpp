#include "app/win32/step_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <optional>

#include "app/win32/newer_api.h"
#include "app/win32/wide_text.h"
#include "platform/system_result.h"
#include "wizard/guarded.h"
#include "wizard/keyboard.h"
#include "wizard/layout.h"

namespace fjl::app::win32 {
namespace {

constexpr wchar_t kWindowClass[] = L"FjlStepWindow";
// No WS_CLIPCHILDREN: a group box paints no inside of its own, so the window
// paints it.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;
// The tool window's small caption without caption buttons is the step
// windows' look. Unowned, a tool window alone gets neither a taskbar button
// nor an Alt+Tab entry, and the wizard would be lost behind other programs:
// WS_EX_APPWINDOW puts the step window shown (one at a time) on the taskbar
// and in Alt+Tab. A hidden owner window showing the button instead would
// have to be kept visible off-screen to keep its button, and its thumbnail
// and Alt+Tab entry would show that empty window, not the step.
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

// Why the step class could not be registered, kept for every later window.
DWORD class_error = 0;

// "<what failed>\n<the user's words for the reason>\nError = 0x<code>", as
// the port's system errors read.
std::string NotMadeText(DWORD code) {
  std::string text = "Не удалось создать окно программы.";
  // A window procedure that refused its window leaves no reason.
  if (code == 0) return text;
  char number[32];
  std::snprintf(number, sizeof number, "\nError = 0x%lx", static_cast<unsigned long>(code));
  return text + "\n" + platform::SystemResult(static_cast<int>(code)).UserText() + number;
}

}  // namespace

WindowNotMade::WindowNotMade(DWORD code) : std::runtime_error(NotMadeText(code)) {}

ATOM StepWindow::StepClass() {
  static const ATOM atom = [] {
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof(window_class);
    window_class.lpfnWndProc = &StepWindow::WindowProcedure;
    window_class.hInstance = GetModuleHandleW(nullptr);
    window_class.hIcon = LoadIconW(window_class.hInstance, MAKEINTRESOURCEW(1));
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kWindowClass;
    const ATOM registered = RegisterClassExW(&window_class);
    if (registered == 0) class_error = GetLastError();
    return registered;
  }();
  return atom;
}

namespace {

std::wstring ClassOf(HWND control) {
  wchar_t name[64] = {};
  GetClassNameW(control, name, 64);
  return name;
}

wizard::ControlKind KindOf(HWND control) {
  const std::wstring name = ClassOf(control);
  if (_wcsicmp(name.c_str(), WC_BUTTONW) == 0) return wizard::ControlKind::Button;
  if (_wcsicmp(name.c_str(), WC_COMBOBOXW) == 0) return wizard::ControlKind::List;
  if (_wcsicmp(name.c_str(), WC_EDITW) == 0) {
    return (GetWindowLongPtrW(control, GWL_STYLE) & ES_MULTILINE) != 0 ? wizard::ControlKind::TextBox
                                                                         : wizard::ControlKind::EditBox;
  }
  return wizard::ControlKind::Other;
}

bool Held(int key) { return (GetKeyState(key) & 0x8000) != 0; }

std::optional<wizard::Key> KeyOf(WPARAM key) {
  const bool shift = Held(VK_SHIFT);
  const bool other = Held(VK_CONTROL) || Held(VK_MENU);
  if (other) return std::nullopt;
  switch (key) {
    case VK_RETURN: return shift ? std::nullopt : std::optional(wizard::Key::Enter);
    case VK_TAB: return shift ? wizard::Key::BackTab : wizard::Key::Tab;
    case VK_ESCAPE: return shift ? std::nullopt : std::optional(wizard::Key::Escape);
    default: return std::nullopt;
  }
}

}  // namespace

StepWindow::StepWindow(Win32Toolkit& toolkit, std::string_view caption, wizard::ClientSize size)
    : toolkit_(toolkit), size_(size) {
  if (StepClass() == 0) throw WindowNotMade(class_error);
  dpi_ = static_cast<int>(NewerApi::System().SystemDpi());
  // A constructor that throws runs no destructor: what was made is let go here.
  try {
    font_ = MakeFont(L"Tahoma", 8);
    CreateFrame(caption);
  } catch (...) {
    Release();
    throw;
  }
}

void StepWindow::CreateFrame(std::string_view caption) {
  const RECT frame = FrameFor(dpi_);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int x = work.left + std::max(0, static_cast<int>(work.right - work.left - width) / 2);
  const int y = work.top + std::max(0, static_cast<int>(work.bottom - work.top - height) / 2);
  // The window procedure binds `this` at WM_NCCREATE, the first message.
  if (CreateWindowExW(kExStyle, kWindowClass, Wide(caption).c_str(), kStyle, x, y, width, height, nullptr, nullptr,
                      GetModuleHandleW(nullptr), this) == nullptr) {
    throw WindowNotMade(GetLastError());
  }
  // The centre of the work area can be on a screen of another DPI than the
  // system's; nothing is placed yet, so only the frame and font follow it.
  const int placed_dpi = static_cast<int>(NewerApi::System().WindowDpi(window_));
  if (placed_dpi != dpi_) {
    RECT placed{};
    GetWindowRect(window_, &placed);
    ChangeDpi(placed_dpi, placed);
  }
}

StepWindow::~StepWindow() { Release(); }

void StepWindow::Release() {
  if (window_ != nullptr) {
    // The window's last messages find no object: a derived one is gone.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    window_ = nullptr;
  }
  for (const FontMade& made : fonts_) DeleteObject(made.font);
  fonts_.clear();
}

namespace {

HFONT CreateFontAt(const wchar_t* face, int points, int dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(points, dpi, 72);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  // Where the face is missing, a fixed-pitch face stands in for a
  // fixed-pitch one: the tape's columns stay aligned.
  font.lfPitchAndFamily = static_cast<BYTE>(_wcsicmp(face, L"Courier New") == 0 ? FIXED_PITCH | FF_MODERN
                                                                                 : DEFAULT_PITCH | FF_SWISS);
  wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

}  // namespace

HFONT StepWindow::MakeFont(const wchar_t* face, int points) {
  HFONT made = CreateFontAt(face, points, dpi_);
  if (made == nullptr) throw WindowNotMade(GetLastError());
  fonts_.push_back({made, face, points});
  return made;
}

RECT StepWindow::FrameFor(int dpi) const {
  const RECT client{0, 0, wizard::ScaledPixels(size_.width, dpi), wizard::ScaledPixels(size_.height, dpi)};
  return NewerApi::System().FrameAround(client, kStyle, kExStyle, static_cast<UINT>(dpi));
}

// Every control back to its 96-dpi place scaled to the new DPI, with its
// font made anew at that DPI, and the client area the step's size again.
void StepWindow::ChangeDpi(int dpi, const RECT& suggested) {
  if (dpi <= 0 || dpi == dpi_) return;
  dpi_ = dpi;
  std::vector<FontMade> old_fonts;
  old_fonts.swap(fonts_);
  std::vector<std::pair<HFONT, HFONT>> remade;
  for (const FontMade& old : old_fonts) {
    HFONT made = MakeFont(old.face.c_str(), old.points);
    if (old.font == font_) font_ = made;
    remade.emplace_back(old.font, made);
  }
  for (const Placement& placed : placements_) {
    SetWindowPos(placed.control, nullptr, Px(placed.x), Px(placed.y), Px(placed.width), Px(placed.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    const auto used = reinterpret_cast<HFONT>(SendMessageW(placed.control, WM_GETFONT, 0, 0));
    const auto match = std::find_if(remade.begin(), remade.end(), [used](const auto& pair) { return pair.first == used; });
    SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(match != remade.end() ? match->second : font_),
                 TRUE);
  }
  for (const FontMade& old : old_fonts) DeleteObject(old.font);
  const RECT frame = FrameFor(dpi);
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, suggested.left, suggested.top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  // A frame drawn at another DPI than the one asked for (the system's, under
  // some window managers) leaves the client area off by its difference.
  RECT client{};
  GetClientRect(window_, &client);
  const int wrong_width = Px(size_.width) - client.right;
  const int wrong_height = Px(size_.height) - client.bottom;
  if (wrong_width != 0 || wrong_height != 0) {
    width += wrong_width;
    height += wrong_height;
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  InvalidateRect(window_, nullptr, TRUE);
}

std::string StepWindow::Caption() const { return Utf8(WindowText(window_)); }

int StepWindow::Px(int pixels) const { return wizard::ScaledPixels(pixels, dpi_); }

int StepWindow::TextWidth(std::string_view text) const {
  const std::wstring wide = Wide(text);
  HDC context = GetDC(window_);
  HGDIOBJ old = SelectObject(context, font_);
  SIZE extent{};
  GetTextExtentPoint32W(context, wide.c_str(), static_cast<int>(wide.size()), &extent);
  SelectObject(context, old);
  ReleaseDC(window_, context);
  // Back to 96-dpi pixels, rounded up so the text never overlaps what follows.
  return (extent.cx * 96 + dpi_ - 1) / dpi_;
}

HWND StepWindow::AddControl(const wchar_t* window_class, DWORD style, int x, int y, int width, int height,
                            std::string_view text, DWORD ex_style) {
  // Each control has an id of its own; the window finds its controls by
  // handle, never by id.
  HWND control = CreateWindowExW(
      ex_style, window_class, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, Px(x), Px(y), Px(width), Px(height),
      window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(next_id_++)), GetModuleHandleW(nullptr), nullptr);
  if (control == nullptr) throw WindowNotMade(GetLastError());
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  placements_.push_back({control, x, y, width, height});
  return control;
}

HWND StepWindow::AddLabel(std::string_view text, int x, int y) {
  return AddControl(WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX, x, y, TextWidth(text) + 2, kLabelHeight, text);
}

HWND StepWindow::AddLabelBefore(std::string_view text, int box_x, int box_y) {
  // The text starts where its measured width ends it the gap before the box;
  // the control reaches almost to the box, as some renderers draw a text a
  // few pixels wider than it measures, and a clipped last ":" would change
  // the label.
  const int width = TextWidth(text);
  return AddControl(WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX, box_x - wizard::kLabelGap - width,
                    box_y + (kEditHeight - kLabelHeight) / 2, width + wizard::kLabelGap - 1, kLabelHeight, text);
}

HWND StepWindow::AddEdit(int x, int y, int width, bool read_only, std::string_view text) {
  return AddControl(WC_EDITW, ES_AUTOHSCROLL | (read_only ? ES_READONLY : 0), x, y, width, kEditHeight, text,
                    WS_EX_CLIENTEDGE);
}

HWND StepWindow::AddButton(std::string_view text, int x, int y, int width, std::function<void()> clicked) {
  HWND button = AddControl(WC_BUTTONW, BS_PUSHBUTTON, x, y, width, kButtonHeight, text);
  clicks_.emplace_back(button, std::move(clicked));
  return button;
}

HWND StepWindow::AddDropDownList(int x, int y, int width) {
  // The height is that of the list when dropped down.
  return AddControl(WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL, x, y, width, 200);
}

HWND StepWindow::AddGroup(std::string_view text, int x, int y, int width, int height) {
  return AddControl(WC_BUTTONW, BS_GROUPBOX, x, y, width, height, text);
}

void StepWindow::Clicked(HWND button) {
  const auto found =
      std::find_if(clicks_.begin(), clicks_.end(), [button](const auto& click) { return click.first == button; });
  if (found != clicks_.end() && found->second) found->second();
}

void StepWindow::SetControlText(HWND control, std::string_view text) {
  switch (KindOf(control)) {
    case wizard::ControlKind::List: {
      const std::wstring wide = Wide(text);
      const LRESULT index =
          SendMessageW(control, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(wide.c_str()));
      SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
      return;
    }
    case wizard::ControlKind::TextBox: {
      std::wstring lines;
      for (const wchar_t character : Wide(text)) {
        if (character == L'\n') lines += L'\r';
        if (character != L'\r') lines += character;
      }
      SetWindowTextW(control, lines.c_str());
      return;
    }
    default: SetWindowTextW(control, Wide(text).c_str()); return;
  }
}

std::string StepWindow::ControlText(HWND control) {
  switch (KindOf(control)) {
    case wizard::ControlKind::List: {
      const LRESULT index = SendMessageW(control, CB_GETCURSEL, 0, 0);
      if (index == CB_ERR) return {};
      const LRESULT length = SendMessageW(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
      std::wstring item(static_cast<std::size_t>(length) + 1, L'\0');
      SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(item.data()));
      item.resize(static_cast<std::size_t>(length));
      return Utf8(item);
    }
    case wizard::ControlKind::TextBox: {
      std::wstring lines = WindowText(control);
      std::erase(lines, L'\r');
      return Utf8(lines);
    }
    default: return Utf8(WindowText(control));
  }
}

void StepWindow::ShowStepWindow() {
  ShowWindow(window_, SW_SHOW);
  toolkit_.StepShown(window_);
  SetForegroundWindow(window_);
  SetActiveWindow(window_);
}

void StepWindow::HideStepWindow() { ShowWindow(window_, SW_HIDE); }

void StepWindow::CloseStepWindow() {
  if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

void StepWindow::ShowBoxMessage(std::string_view text) {
  MessageBoxW(window_, Wide(text).c_str(), WindowText(window_).c_str(), MB_OK);
}

void StepWindow::ShowBoxError(std::string_view text) {
  MessageBoxW(window_, Wide(text).c_str(), WindowText(window_).c_str(), MB_OK | MB_ICONERROR);
}

bool StepWindow::AskBoxYesNo(std::string_view text) {
  return MessageBoxW(window_, Wide(text).c_str(), WindowText(window_).c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void StepWindow::MoveFocus(HWND from, bool forward) {
  if (tab_stops_.empty()) return;
  const auto count = static_cast<int>(tab_stops_.size());
  const auto found = std::find(tab_stops_.begin(), tab_stops_.end(), from);
  int index = found == tab_stops_.end() ? (forward ? -1 : count) : static_cast<int>(found - tab_stops_.begin());
  for (int step = 0; step < count; ++step) {
    index = (index + (forward ? 1 : -1) + count) % count;
    HWND next = tab_stops_[static_cast<std::size_t>(index)];
    if (IsWindowEnabled(next) && IsWindowVisible(next)) {
      SetFocus(next);
      if (KindOf(next) == wizard::ControlKind::EditBox) SendMessageW(next, EM_SETSEL, 0, -1);
      return;
    }
  }
}

bool StepWindow::HandleKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.hwnd == nullptr) return false;
  HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if (root == nullptr || GetClassLongPtrW(root, GCW_ATOM) != StepClass()) return false;
  auto* window = reinterpret_cast<StepWindow*>(GetWindowLongPtrW(root, GWLP_USERDATA));
  if (window == nullptr) return false;
  const std::optional<wizard::Key> key = KeyOf(message.wParam);
  if (!key) return false;
  HWND focused = message.hwnd;
  const wizard::ControlKind kind = KindOf(focused);
  // An open drop-down takes Enter and Escape itself, to close.
  if (kind == wizard::ControlKind::List && SendMessageW(focused, CB_GETDROPPEDSTATE, 0, 0) != 0 &&
      *key != wizard::Key::Tab && *key != wizard::Key::BackTab) {
    return false;
  }
  switch (wizard::KeyActionFor(*key, kind)) {
    case wizard::KeyAction::PressButton:
      if (IsWindowEnabled(focused)) {
        SendMessageW(root, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(focused), BN_CLICKED),
                     reinterpret_cast<LPARAM>(focused));
      }
      return true;
    case wizard::KeyAction::FocusNext:
      window->MoveFocus(focused, true);
      return true;
    case wizard::KeyAction::FocusPrevious:
      window->MoveFocus(focused, false);
      return true;
    case wizard::KeyAction::AskToStop:
      window->EscapePressed();
      return true;
    case wizard::KeyAction::ToolkitDefault:
      break;
  }
  return false;
}

LRESULT CALLBACK StepWindow::WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    // Per-monitor awareness of the first kind (Windows 8.1 to 10 1607)
    // scales the client area only; from 10 1607 on the caption can follow
    // it too.
    NewerApi::System().EnableNonClientScaling(window);
    auto* created = static_cast<StepWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lparam)->lpCreateParams);
    created->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* step = reinterpret_cast<StepWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (step == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    step->window_ = nullptr;
    return DefWindowProcW(window, message, wparam, lparam);
  }
  // No exception may cross Windows' own frames on its way out (a 32-bit
  // program cannot unwind through them at all): one a handler lets escape
  // is shown as the Qt windows show theirs, and the message ends there.
  LRESULT result = 0;
  wizard::RunGuarded([step](std::string_view error) { step->ShowBoxError(error); },
                     [&] { result = step->Handle(message, wparam, lparam); });
  return result;
}

LRESULT StepWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED && lparam != 0) Clicked(reinterpret_cast<HWND>(lparam));
      return 0;
    case WM_DRAWITEM:
      if (OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam))) return TRUE;
      break;
    case WM_ACTIVATE:
      // A plain window, unlike a dialog, gives the focus to itself when it
      // is activated again: after a message box or the save dialog no
      // control would have it, the next Tab would land in the tape and
      // Enter there would type into it. The control that had it gets it back.
      if (LOWORD(wparam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) focus_before_ = focus;
        break;
      }
      if (HIWORD(wparam) != 0) break;
      OnActivated();
      // Unless the presenter has put it on a control of its own choosing;
      // the box that closes may still hold it here.
      if (focus_before_ != nullptr && IsWindow(focus_before_) && IsWindowEnabled(focus_before_) &&
          IsWindowVisible(focus_before_) && !IsChild(window_, GetFocus())) {
        SetFocus(focus_before_);
        return 0;
      }
      break;
    case WM_CLOSE:
      // Windows is not to destroy the window: the presenter decides, and
      // during a run the close button means "stop".
      if (toolkit_.Busy()) {
        toolkit_.StopAsked();
      } else {
        CloseRequested();
      }
      return 0;
    case WM_DPICHANGED:
      ChangeDpi(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_DESTROY:
      OnDestroyed();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

}  // namespace fjl::app::win32
