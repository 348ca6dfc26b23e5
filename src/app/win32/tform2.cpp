#include "app/win32/tform2.h"

#include <algorithm>

#include "wizard/keyboard.h"
#include "wizard/layout.h"

namespace fjl::app::win32 {
namespace {

using wizard::Step2Control;

// The step 2 layout, in 96-dpi pixels.
constexpr int kMargin = 12;  // from the window's edges
constexpr int kRowPitch = 29;
// Between the last counter and the reply boxes, beyond a row's pitch.
constexpr int kRepliesGap = 12;
constexpr int kCounterWidth = 60;
constexpr int kReplyWidth = 120;
constexpr int kReadAuxWidth = 150;
constexpr int kButtonWidth = 100;
constexpr int kButtonGap = 8;

}  // namespace

TForm2::TForm2(Win32Toolkit& toolkit) : StepForm(toolkit, wizard::kStep2Caption, wizard::kStep2Size) {
  using namespace wizard;
  auto set = [this](Step2Control control, HWND window) { controls_[static_cast<std::size_t>(control)] = window; };

  // Counters and reply boxes share one column of boxes.
  int widest = std::max(TextWidth(kResultLabel), TextWidth(kStatusLabel));
  for (const tape::CounterBox& entry : tape::kAuxCounterBoxes) widest = std::max(widest, TextWidth(entry.label));
  const int box_x = kMargin + widest + kLabelGap;
  int y = kMargin;
  for (std::size_t index = 0; index < tape::kAuxCounterBoxes.size(); ++index, y += kRowPitch) {
    counters_[index] = AddEdit(box_x, y, kCounterWidth, false, "0");
    AddLabelBefore(tape::kAuxCounterBoxes[index].label, box_x, y);
  }
  y += kRepliesGap;
  set(Step2Control::ResultBox, AddEdit(box_x, y, kReplyWidth, true));
  AddLabelBefore(kResultLabel, box_x, y);
  y += kRowPitch;
  set(Step2Control::StatusBox, AddEdit(box_x, y, kReplyWidth, true));
  AddLabelBefore(kStatusLabel, box_x, y);

  const int buttons_y = kStep2Size.height - kMargin - kButtonHeight;
  set(Step2Control::ReadAuxButton,
      AddButton(kReadAuxText, kMargin, buttons_y, kReadAuxWidth, [this] { Button1Click(); }));
  set(Step2Control::FinishButton, AddButton(kFinishText, kMargin + kReadAuxWidth + kButtonGap, buttons_y, kButtonWidth,
                                            [this] { Button2Click(); }));
  set(Step2Control::NextButton, AddButton(kNextText, kStep2Size.width - kMargin - kButtonWidth, buttons_y, kButtonWidth,
                                          [this] { Button3Click(); }));
  EnableWindow(Control(Step2Control::NextButton), FALSE);

  SetTabStops(wizard::kStep2TabStops);
}

HWND TForm2::Control(Step2Control control) const { return controls_[static_cast<std::size_t>(control)]; }

std::string TForm2::CounterText(std::size_t box) const {
  return box < counters_.size() ? ControlText(counters_[box]) : std::string();
}

void TForm2::SetCounterText(std::size_t box, std::string_view text) {
  if (box >= counters_.size()) return;
  SetControlText(counters_[box], text);
  UpdateWindow(counters_[box]);
}

void TForm2::Button1Click() {
  if (presenter_ != nullptr) presenter_->ReadAux();
}

void TForm2::Button2Click() {
  if (presenter_ != nullptr) presenter_->Finish();
}

void TForm2::Button3Click() {
  if (presenter_ != nullptr) presenter_->Next();
}

void TForm2::CloseRequested() {
  if (presenter_ != nullptr) presenter_->CloseRequested();
}

void TForm2::EscapePressed() {
  if (presenter_ != nullptr) presenter_->EscapePressed();
}

}  // namespace fjl::app::win32
