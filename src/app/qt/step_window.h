#pragma once
// What the three Qt step windows share as thin views: the window style, the
// keyboard (Enter on a button, Tab out of the tape, Escape), the Tab stops,
// the boxes over the window, and the difference between the program closing
// a window and the window manager's close button.

#include <QWidget>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/qt/qt_message_sink.h"
#include "wizard/window_texts.h"

namespace fjl::app {

class StepWindow : public QWidget {
  Q_OBJECT
 public:
  StepWindow(MessageBoxes& boxes, QWidget* parent = nullptr);

 protected:
  // Call once the controls exist: caption, size, font, centring; every
  // button, list, edit and text box then routes its keys through the
  // wizard's keyboard rules.
  void SetUpStepWindow(std::string_view caption, wizard::ClientSize size);
  // Tab visits `stops` in this order; every other control that could take
  // the focus takes it only when clicked.
  void SetTabStops(const std::vector<QWidget*>& stops);

  // Texts of line edits, buttons, drop-down lists (a list's text is its
  // selected item) and text boxes, UTF-8.
  static void SetControlText(QWidget* control, std::string_view text);
  static std::string ControlText(const QWidget* control);

  // The focus as the keyboard would move it: the control shows its focus
  // frame, so the user sees where Enter or Space goes. (Qt marks a window
  // for focus frames only during a real Tab key press.)
  void FocusControl(QWidget* control);
  void ShowStepWindow();
  void CloseStepWindow();
  void ShowBoxMessage(std::string_view text) { boxes_.ShowMessage(this, text); }
  void ShowBoxError(std::string_view text) { boxes_.ShowError(this, text); }
  bool AskBoxYesNo(std::string_view text) { return boxes_.AskYesNo(this, text); }

  // The window manager's close button (or any close the presenter did not
  // ask for), and Escape: both go to the presenter.
  virtual void CloseRequested() = 0;
  virtual void EscapePressed() = 0;
  // The program closed the window.
  virtual void StepClosed() {}

  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  MessageBoxes& boxes_;
  bool closing_ = false;
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
  void SetEnabled(ControlId control, bool enabled) override { Control(control)->setEnabled(enabled); }
  void SetFocus(ControlId control) override { FocusControl(Control(control)); }
  void ShowWindow() override { ShowStepWindow(); }
  void HideWindow() override { hide(); }
  void CloseWindow() override { CloseStepWindow(); }
  void ShowMessage(std::string_view text) override { ShowBoxMessage(text); }
  void ShowError(std::string_view text) override { ShowBoxError(text); }
  bool AskYesNo(std::string_view text) override { return AskBoxYesNo(text); }

 protected:
  // The window's control for each of the view's.
  virtual QWidget* Control(ControlId control) const = 0;

  using StepWindow::SetTabStops;
  // Tab visits the controls of `order`, a table of wizard/keyboard.h.
  void SetTabStops(std::span<const ControlId> order) {
    std::vector<QWidget*> stops;
    for (const ControlId control : order) stops.push_back(Control(control));
    SetTabStops(stops);
  }
};

}  // namespace fjl::app
