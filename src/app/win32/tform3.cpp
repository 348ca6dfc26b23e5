#include "app/win32/tform3.h"

#include <commctrl.h>

#include "app/win32/save_file_dialog.h"
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

}  // namespace

TForm3::TForm3(Win32Toolkit& toolkit) : StepForm(toolkit, wizard::kStep3Caption, wizard::kStep3Size) {
  using namespace wizard;
  auto set = [this](Step3Control control, HWND window) { controls_[static_cast<std::size_t>(control)] = window; };
  const int width = kStep3Size.width - 2 * kMargin;
  const int buttons_y = kStep3Size.height - kMargin - kButtonHeight;
  const int gauge_y = buttons_y - kGaugeToButtons - kGaugeHeight;

  tape_ = TapeTextBox(AddControl(WC_EDITW, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_NOHIDESEL | WS_VSCROLL,
                                 kMargin, kMargin, width, gauge_y - kTextToGauge - kMargin, {}, WS_EX_CLIENTEDGE));
  SendMessageW(tape_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(MakeFont(L"Courier New", 8)), FALSE);
  set(Step3Control::TapeText, tape_.Handle());

  gauge_.emplace(AddControl(PROGRESS_CLASSW, PBS_SMOOTH, kMargin, gauge_y, width, kGaugeHeight), WindowFont());

  set(Step3Control::RestoreButton,
      AddButton(kRestoreText, kMargin, buttons_y, kRestoreWidth, [this] { Button3Click(); }));
  set(Step3Control::SaveButton,
      AddButton(kSaveText, kMargin + kRestoreWidth + kButtonGap, buttons_y, kButtonWidth, [this] { Button1Click(); }));
  set(Step3Control::FinishButton, AddButton(kFinishText, kStep3Size.width - kMargin - kButtonWidth, buttons_y,
                                            kButtonWidth, [this] { Button2Click(); }));

  SetTabStops(wizard::kStep3TabStops);
}

HWND TForm3::Control(Step3Control control) const { return controls_[static_cast<std::size_t>(control)]; }

std::vector<std::string> TForm3::TapeLines() const { return tape_.Lines(); }

void TForm3::AppendLines(std::span<const std::string> lines) { tape_.AppendLines(lines); }

void TForm3::SetGaugeRange(std::int32_t minimum, std::int32_t maximum) { gauge_->SetRange(minimum, maximum); }

void TForm3::SetGaugeProgress(std::int32_t progress) { gauge_->SetProgress(progress); }

std::optional<wizard::SaveChoice> TForm3::ChooseSaveFile(const wizard::SaveDialogSettings& settings) {
  return ChooseSaveFileByDialog(Handle(), settings);
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
