#include "wizard/keyboard.h"

namespace fjl::wizard {

KeyAction KeyActionFor(Key key, ControlKind focused) {
  switch (key) {
    case Key::Enter:
      return focused == ControlKind::Button ? KeyAction::PressButton : KeyAction::ToolkitDefault;
    case Key::Tab:
      return KeyAction::FocusNext;
    case Key::BackTab:
      return KeyAction::FocusPrevious;
    case Key::Escape:
      return KeyAction::AskToStop;
    case Key::Other:
      break;
  }
  return KeyAction::ToolkitDefault;
}

}  // namespace fjl::wizard
