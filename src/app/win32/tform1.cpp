#include "app/win32/tform1.h"

#include <commctrl.h>

#include <algorithm>

#include "app/win32/wide_text.h"
#include "wizard/keyboard.h"
#include "wizard/layout.h"

namespace fjl::app::win32 {
namespace {

using wizard::Step1Control;

// The step 1 layout, in 96-dpi pixels.
constexpr int kMargin = 10;  // from the window's edges
constexpr int kFirstRowY = 12;
constexpr int kSecondRowY = kFirstRowY + 30;
constexpr int kListWidth = 130;
constexpr int kReplyWidth = 120;
constexpr int kPasswordWidth = 80;
// Between the lists and the longer of the reply boxes' labels.
constexpr int kColumnGap = 40;
constexpr int kGroupY = 76;
constexpr int kGroupHeight = 306;
// From the group's frame to its columns, on either side.
constexpr int kGroupPadding = 10;
constexpr int kFirstCounterY = 100;
constexpr int kCounterPitch = 40;
// A face wider than Tahoma (where it is missing) narrows the counter boxes
// first, down to what a count of six digits needs.
constexpr int kCounterWidth = 60;
constexpr int kNarrowestCounter = 44;
constexpr int kIndicatorSize = 25;
constexpr int kIndicatorCorner = 10;  // the width and height of its rounding
constexpr int kButtonWidth = 110;
constexpr int kReadTapeWidth = 150;
constexpr int kButtonGap = 8;
// Between the connect button and the buttons of a connected port.
constexpr int kButtonGroupGap = 16;

}  // namespace

TForm1::TForm1(Win32Toolkit& toolkit) : StepForm(toolkit, wizard::kStep1Caption, wizard::kStep1Size) {
  BuildTopRow();
  BuildRecordTypes();
  BuildButtonRow();
  SetTabStops(wizard::kStep1TabStops);
}

void TForm1::Set(Step1Control control, HWND window) { controls_[static_cast<std::size_t>(control)] = window; }

int TForm1::ColumnBoxX(int left, std::initializer_list<std::string_view> labels) const {
  int widest = 0;
  for (std::string_view label : labels) widest = std::max(widest, TextWidth(label));
  return left + widest + wizard::kLabelGap;
}

// Port and speed on the left, the printer's replies in the middle, the
// password on the right.
void TForm1::BuildTopRow() {
  using namespace wizard;
  const int lists_x = ColumnBoxX(kMargin, {kPortLabel, kSpeedLabel});
  Set(Step1Control::PortList, AddDropDownList(lists_x, kFirstRowY, kListWidth));
  Set(Step1Control::SpeedList, AddDropDownList(lists_x, kSecondRowY, kListWidth));
  AddLabelBefore(kPortLabel, lists_x, kFirstRowY);
  AddLabelBefore(kSpeedLabel, lists_x, kSecondRowY);
  const int replies_x = ColumnBoxX(lists_x + kListWidth + kColumnGap, {kResultLabel, kStatusLabel});
  Set(Step1Control::ResultBox, AddEdit(replies_x, kFirstRowY, kReplyWidth, true));
  Set(Step1Control::StatusBox, AddEdit(replies_x, kSecondRowY, kReplyWidth, true));
  AddLabelBefore(kResultLabel, replies_x, kFirstRowY);
  AddLabelBefore(kStatusLabel, replies_x, kSecondRowY);
  const int password_x = kStep1Size.width - kMargin - kPasswordWidth;
  Set(Step1Control::PasswordBox, AddEdit(password_x, kFirstRowY, kPasswordWidth, false));
  AddLabelBefore(kPasswordLabel, password_x, kFirstRowY);
}

// "Типы записей": the counters column by column, in the core's order. Each
// column is as wide as its widest label and a box; what is left of the
// group's width goes between the columns, so the third stays inside it.
void TForm1::BuildRecordTypes() {
  using wizard::kLabelGap;
  constexpr int kColumns = tape::kTapeCounterColumns;
  constexpr auto kRows = static_cast<std::size_t>(tape::kTapeCounterRows);
  AddGroup(wizard::kRecordTypesTitle, kMargin, kGroupY, wizard::kStep1Size.width - 2 * kMargin, kGroupHeight);
  std::array<int, kColumns> widest{};
  for (std::size_t index = 0; index < tape::kTapeCounterBoxes.size(); ++index) {
    int& column = widest[index / kRows];
    column = std::max(column, TextWidth(tape::kTapeCounterBoxes[index].label));
  }
  int labels = 0;
  for (int width : widest) labels += width + kLabelGap;
  const int inner_left = kMargin + kGroupPadding;
  const int inner_width = wizard::kStep1Size.width - 2 * inner_left;
  const int for_boxes = inner_width - labels - (kColumns - 1) * kLabelGap;
  const int counter_width = std::clamp(for_boxes / kColumns, kNarrowestCounter, kCounterWidth);
  const int spacing = std::max(kLabelGap, (inner_width - labels - kColumns * counter_width) / (kColumns - 1));
  int left = inner_left;
  for (std::size_t column = 0; column < kColumns; ++column) {
    const int box_x = left + widest[column] + kLabelGap;
    for (std::size_t row = 0; row < kRows; ++row) {
      const std::size_t index = column * kRows + row;
      if (index >= tape::kTapeCounterBoxes.size()) break;
      const int y = kFirstCounterY + static_cast<int>(row) * kCounterPitch;
      counters_[index] = AddEdit(box_x, y, counter_width, false, "0");
      AddLabelBefore(tape::kTapeCounterBoxes[index].label, box_x, y);
    }
    left = box_x + counter_width + spacing;
  }
}

// The indicator and the buttons, "Дальше ->" at the right.
void TForm1::BuildButtonRow() {
  using namespace wizard;
  const int y = kStep1Size.height - kMargin - kButtonHeight;
  int x = kMargin;
  indicator_ = AddControl(WC_STATICW, SS_OWNERDRAW, x, y, kIndicatorSize, kIndicatorSize);
  x += kIndicatorSize + kButtonGap;
  Set(Step1Control::ConnectButton, AddButton(kConnectText, x, y, kButtonWidth, [this] { Button1Click(); }));
  x += kButtonWidth + kButtonGroupGap;
  Set(Step1Control::ReadTapeButton, AddButton(kReadTapeText, x, y, kReadTapeWidth, [this] { Button2Click(); }));
  x += kReadTapeWidth + kButtonGap;
  Set(Step1Control::FinishButton, AddButton(kFinishText, x, y, kButtonWidth, [this] { Button3Click(); }));
  Set(Step1Control::NextButton,
      AddButton(kNextText, kStep1Size.width - kMargin - kButtonWidth, y, kButtonWidth, [this] { Button4Click(); }));
  EnableWindow(Control(Step1Control::ReadTapeButton), FALSE);
  EnableWindow(Control(Step1Control::NextButton), FALSE);
}

HWND TForm1::Control(Step1Control control) const { return controls_[static_cast<std::size_t>(control)]; }

void TForm1::SetListItems(Step1Control list, std::span<const std::string> items, int selected) {
  HWND box = Control(list);
  SendMessageW(box, CB_RESETCONTENT, 0, 0);
  for (const std::string& item : items) {
    SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  }
  SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void TForm1::SetIndicator(wizard::IndicatorColour colour) {
  const wizard::Rgb rgb = wizard::RgbOf(colour);
  indicator_colour_ = RGB(rgb.red, rgb.green, rgb.blue);
  InvalidateRect(indicator_, nullptr, TRUE);
  UpdateWindow(indicator_);
}

std::string TForm1::CounterText(std::size_t box) const {
  return box < counters_.size() ? ControlText(counters_[box]) : std::string();
}

void TForm1::SetCounterText(std::size_t box, std::string_view text) {
  if (box >= counters_.size()) return;
  // The counts move while a download runs: painted at once.
  SetControlText(counters_[box], text);
  UpdateWindow(counters_[box]);
}

bool TForm1::OnDrawItem(const DRAWITEMSTRUCT& item) {
  if (item.hwndItem != indicator_) return false;
  FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_BTNFACE));
  HBRUSH fill = CreateSolidBrush(indicator_colour_);
  HGDIOBJ old_brush = SelectObject(item.hDC, fill);
  HGDIOBJ old_pen = SelectObject(item.hDC, GetStockObject(BLACK_PEN));
  const int corner = Px(kIndicatorCorner);
  RoundRect(item.hDC, item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom, corner, corner);
  SelectObject(item.hDC, old_pen);
  SelectObject(item.hDC, old_brush);
  DeleteObject(fill);
  return true;
}

void TForm1::FormActivate() {
  if (presenter_ != nullptr) presenter_->Activated();
}

void TForm1::Button1Click() {
  if (presenter_ != nullptr) presenter_->ConnectOrDisconnect();
}

void TForm1::Button2Click() {
  if (presenter_ != nullptr) presenter_->ReadTape();
}

void TForm1::Button3Click() {
  if (presenter_ != nullptr) presenter_->Finish();
}

void TForm1::Button4Click() {
  if (presenter_ != nullptr) presenter_->Next();
}

void TForm1::CloseRequested() {
  if (presenter_ != nullptr) presenter_->CloseRequested();
}

void TForm1::EscapePressed() {
  if (presenter_ != nullptr) presenter_->EscapePressed();
}

}  // namespace fjl::app::win32
