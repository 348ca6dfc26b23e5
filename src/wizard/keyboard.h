#pragma once
// How the keyboard works in the step windows, whatever draws them.

#include <array>

#include "wizard/step_view.h"

namespace fjl::wizard {

enum class Key { Enter, Escape, Tab, BackTab, Other };

// What kind of control has the focus when a key comes.
enum class ControlKind { Button, List, EditBox, TextBox, Other };

enum class KeyAction {
  ToolkitDefault,  // the control handles the key as it always does
  PressButton,     // the focused button is pressed, as Space does
  FocusNext,
  FocusPrevious,
  AskToStop,       // a download in progress asks whether to stop
};

// Enter presses a focused button. Tab and Shift+Tab move the focus from every
// control, the tape's text box too: a tab character typed there would end up
// in the FJL file. Escape asks to stop a download.
KeyAction KeyActionFor(Key key, ControlKind focused);

// The controls Tab visits, in order. Read-only boxes and the record counters
// are left out: they can still be clicked into, but a Tab never stops there.
// A disabled control is passed over. The first of each list that is a button
// is where the focus lands when the step opens (MainButton).
inline constexpr std::array<Step1Control, 7> kStep1TabStops = {
    Step1Control::PortList,      Step1Control::SpeedList,      Step1Control::PasswordBox,
    Step1Control::ConnectButton, Step1Control::ReadTapeButton, Step1Control::FinishButton,
    Step1Control::NextButton,
};
inline constexpr std::array<Step2Control, 3> kStep2TabStops = {
    Step2Control::ReadAuxButton, Step2Control::FinishButton, Step2Control::NextButton};
inline constexpr std::array<Step3Control, 4> kStep3TabStops = {
    Step3Control::TapeText, Step3Control::RestoreButton, Step3Control::SaveButton,
    Step3Control::FinishButton};

// Where the focus goes when each step opens: the button that does its work.
inline constexpr Step1Control kStep1MainButton = Step1Control::ConnectButton;
inline constexpr Step2Control kStep2MainButton = Step2Control::ReadAuxButton;
inline constexpr Step3Control kStep3MainButton = Step3Control::RestoreButton;

}  // namespace fjl::wizard
