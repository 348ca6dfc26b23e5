#pragma once
// What the three Win32 step windows share: the tool-window style without
// caption buttons, centred, not resizable, in 8-point Tahoma; controls placed
// at 96-dpi positions scaled to the screen; the keyboard as the wizard has it
// (Enter presses a focused button, Tab walks the window's tab stops only,
// Escape asks to stop a download); modal boxes titled with the caption.
// Moved to a screen of another DPI, the window lays itself out anew.
// A window or control that cannot be made fails the construction with
// WindowNotMade; no half-made window is left behind.

#include <windows.h>

#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/win32/win32_toolkit.h"
#include "wizard/window_texts.h"

namespace fjl::app::win32 {

// Windows refused to make a window, a control or a font: the user's text,
// with the system's reason and code.
class WindowNotMade : public std::runtime_error {
 public:
  explicit WindowNotMade(DWORD code);
};

class StepWindow {
 public:
  StepWindow(Win32Toolkit& toolkit, std::string_view caption, wizard::ClientSize size);
  virtual ~StepWindow();
  StepWindow(const StepWindow&) = delete;
  StepWindow& operator=(const StepWindow&) = delete;

  HWND Handle() const { return window_; }
  std::string Caption() const;

  // The main loop's look at a message before it is dispatched: true when the
  // key it carries was handled here as the wizard's keyboard says.
  static bool HandleKey(const MSG& message);

 protected:
  // 96-dpi pixels on this screen.
  int Px(int pixels) const;
  // The width of `text` in the window's font, in 96-dpi pixels.
  int TextWidth(std::string_view text) const;
  // A font of `points` at this screen's DPI; the window deletes it, and
  // makes it anew for the controls that use it when the DPI changes.
  HFONT MakeFont(const wchar_t* face, int points);
  // The window's own 8-point Tahoma, at the current DPI.
  HFONT WindowFont() const { return font_; }

  // The heights of the controls as the Add functions make them.
  static constexpr int kEditHeight = 21;
  static constexpr int kButtonHeight = 25;
  static constexpr int kLabelHeight = 13;

  HWND AddLabel(std::string_view text, int x, int y);
  HWND AddEdit(int x, int y, int width, bool read_only, std::string_view text = {});
  // `clicked` runs when the button is pressed, by mouse or keyboard.
  HWND AddButton(std::string_view text, int x, int y, int width, std::function<void()> clicked);
  HWND AddDropDownList(int x, int y, int width);
  HWND AddGroup(std::string_view text, int x, int y, int width, int height);
  HWND AddControl(const wchar_t* window_class, DWORD style, int x, int y, int width, int height,
                  std::string_view text = {}, DWORD ex_style = 0);
  // A label whose text ends `wizard::kLabelGap` before `box_x`, centred on
  // an edit box or closed drop-down list at `box_y`.
  HWND AddLabelBefore(std::string_view text, int box_x, int box_y);

  // Tab and Shift+Tab visit these, in order, skipping disabled ones.
  void SetTabStops(std::vector<HWND> stops) { tab_stops_ = std::move(stops); }

  // Texts of edit boxes, buttons and drop-down lists (a list's text is its
  // selected item), UTF-8; a multi-line box's lines end in "\n" here and in
  // CR LF in the box.
  static void SetControlText(HWND control, std::string_view text);
  static std::string ControlText(HWND control);

  void ShowStepWindow();
  void HideStepWindow();
  void CloseStepWindow();
  void ShowBoxMessage(std::string_view text);
  void ShowBoxError(std::string_view text);
  bool AskBoxYesNo(std::string_view text);

  // A button was pressed: runs what AddButton was given for it.
  virtual void Clicked(HWND button);
  virtual bool OnDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
  virtual void OnActivated() {}
  // The window manager's close button, when not busy.
  virtual void CloseRequested() = 0;
  virtual void EscapePressed() = 0;
  virtual void OnDestroyed() {}

  Win32Toolkit& toolkit_;

 private:
  // The window class of the step windows, registered on first use; 0 when
  // Windows refused it.
  static ATOM StepClass();
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void CreateFrame(std::string_view caption);
  void Release();
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void MoveFocus(HWND from, bool forward);
  void ChangeDpi(int dpi, const RECT& suggested);
  RECT FrameFor(int dpi) const;

  // Where each control was put, in 96-dpi pixels.
  struct Placement {
    HWND control;
    int x, y, width, height;
  };
  struct FontMade {
    HFONT font;
    std::wstring face;
    int points;
  };

  // Set at WM_NCCREATE, so every message of the window reaches it; null
  // again once the window is destroyed.
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  std::vector<FontMade> fonts_;
  std::vector<Placement> placements_;
  std::vector<std::pair<HWND, std::function<void()>>> clicks_;
  int next_id_ = 100;
  wizard::ClientSize size_;
  int dpi_ = 96;
  std::vector<HWND> tab_stops_;
  HWND focus_before_ = nullptr;  // the control that had the focus when the window was left
};

// A step window as the view of its step's presenter (wizard::Step1View and
// so on): the calls every step's view has, once, over the window's controls
// as Control names them.
template <class View>
class StepForm : public StepWindow, public View {
 public:
  using StepWindow::StepWindow;
  using ControlId = typename View::ControlId;

  void SetText(ControlId control, std::string_view text) override { SetControlText(Control(control), text); }
  std::string Text(ControlId control) const override { return ControlText(Control(control)); }
  void SetEnabled(ControlId control, bool enabled) override { EnableWindow(Control(control), enabled ? TRUE : FALSE); }
  void SetFocus(ControlId control) override { ::SetFocus(Control(control)); }
  void ShowWindow() override { ShowStepWindow(); }
  void HideWindow() override { HideStepWindow(); }
  void CloseWindow() override { CloseStepWindow(); }
  void ShowMessage(std::string_view text) override { ShowBoxMessage(text); }
  void ShowError(std::string_view text) override { ShowBoxError(text); }
  bool AskYesNo(std::string_view text) override { return AskBoxYesNo(text); }

 protected:
  // The window's control for each of the view's.
  virtual HWND Control(ControlId control) const = 0;

  using StepWindow::SetTabStops;
  // Tab visits the controls of `order`, a table of wizard/keyboard.h.
  void SetTabStops(std::span<const ControlId> order) {
    std::vector<HWND> stops;
    for (const ControlId control : order) stops.push_back(Control(control));
    SetTabStops(std::move(stops));
  }
};

}  // namespace fjl::app::win32
