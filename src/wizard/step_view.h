#pragma once
// What the presenters see of the three step windows. A window implements its
// step's view on its toolkit's controls and does nothing else: it forwards
// its events to the presenter and sets what the presenter says.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "restore/restore_view.h"
#include "tape/record_counters.h"
#include "wizard/save_dialog.h"

namespace fjl::wizard {

// What one step window offers whatever its controls: texts, enabled state
// and focus of its controls, the window itself, and modal boxes over it.
template <class Control>
class StepView {
 public:
  // The enum that names the window's controls.
  using ControlId = Control;

  virtual ~StepView() = default;

  // UTF-8. A list's text is its selected item ("" when none is selected).
  virtual void SetText(Control control, std::string_view text) = 0;
  virtual std::string Text(Control control) const = 0;
  virtual void SetEnabled(Control control, bool enabled) = 0;
  virtual void SetFocus(Control control) = 0;

  // Shown, brought to the front and made active.
  virtual void ShowWindow() = 0;
  virtual void HideWindow() = 0;
  // Closes the window for good; closing the step 1 window ends the program.
  // Unlike the close button, this asks nobody.
  virtual void CloseWindow() = 0;

  // Modal boxes owned by this window and titled with its caption: a message
  // with one OK button and no icon, the toolkit's standard error box, and a
  // question answered "yes" (true) or "no".
  virtual void ShowMessage(std::string_view text) = 0;
  virtual void ShowError(std::string_view text) = 0;
  virtual bool AskYesNo(std::string_view text) = 0;
};

// The connection indicator of step 1: pure red disconnected, pure green connected.
enum class IndicatorColour { Red, Green };

struct Rgb {
  std::uint8_t red, green, blue;
  friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Rgb RgbOf(IndicatorColour colour) {
  return colour == IndicatorColour::Green ? Rgb{0, 255, 0} : Rgb{255, 0, 0};
}

enum class Step1Control {
  PortList,
  SpeedList,
  ResultBox,
  StatusBox,
  PasswordBox,
  ConnectButton,
  ReadTapeButton,
  FinishButton,
  NextButton,
};

// Step 1 also holds the "Типы записей" counters, in kTapeCounterBoxes order.
class Step1View : public StepView<Step1Control>, public tape::RecordCounterView {
 public:
  // Replaces the items of the port or speed list and selects item `selected`
  // (-1: none).
  virtual void SetListItems(Step1Control list, std::span<const std::string> items, int selected) = 0;
  virtual void SetIndicator(IndicatorColour colour) = 0;
};

enum class Step2Control { ResultBox, StatusBox, ReadAuxButton, FinishButton, NextButton };

// Step 2 also holds its record counters, in kAuxCounterBoxes order.
class Step2View : public StepView<Step2Control>, public tape::RecordCounterView {};

enum class Step3Control { TapeText, RestoreButton, SaveButton, FinishButton };

// Step 3's text box takes the restored lines in batches (restore::LineView).
class Step3View : public StepView<Step3Control>, public restore::LineView {
 public:
  // The text box's lines as they stand, one entry per line (UTF-8).
  virtual std::vector<std::string> TapeLines() const = 0;
  // The gauge shows what it is given; wizard/gauge.h works out its percentage.
  virtual void SetGaugeRange(std::int32_t minimum, std::int32_t maximum) = 0;
  virtual void SetGaugeProgress(std::int32_t progress) = 0;
  // The modal save dialog; nullopt when the user cancels.
  virtual std::optional<SaveChoice> ChooseSaveFile(const SaveDialogSettings& settings) = 0;
};

}  // namespace fjl::wizard
