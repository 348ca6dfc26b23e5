#include "app/win32/tform1.h"

#include <commctrl.h>

#include <algorithm>

#include "app/win32/wide_text.h"
#include "wizard/keyboard.h"
#include "wizard/layout.h"

namespace fjl::app::win32 {
namespace {

using wizard::Step1Control;

}  // namespace

TForm1::TForm1(Win32Toolkit& toolkit) : StepForm(toolkit, wizard::kStep1Caption, wizard::kStep1Size) {
  using namespace wizard;
  auto set = [this](Step1Control control, HWND window) { controls_[static_cast<std::size_t>(control)] = window; };
  auto column_box_x = [this](int left, std::initializer_list<std::string_view> labels) {
    int widest = 0;
    for (std::string_view label : labels) widest = std::max(widest, TextWidth(label));
    return left + widest + kLabelGap;
  };

  // Top row: port and speed on the left, the printer's replies in the middle,
  // the password on the right.
  const int lists_x = column_box_x(10, {kPortLabel, kSpeedLabel});
  set(Step1Control::PortList, AddDropDownList(lists_x, 12, 130));
  set(Step1Control::SpeedList, AddDropDownList(lists_x, 42, 130));
  AddLabelBefore(kPortLabel, lists_x, 12);
  AddLabelBefore(kSpeedLabel, lists_x, 42);
  const int replies_x = column_box_x(lists_x + 130 + 40, {kResultLabel, kStatusLabel});
  set(Step1Control::ResultBox, AddEdit(replies_x, 12, 120, true));
  set(Step1Control::StatusBox, AddEdit(replies_x, 42, 120, true));
  AddLabelBefore(kResultLabel, replies_x, 12);
  AddLabelBefore(kStatusLabel, replies_x, 42);
  const int password_x = kStep1Size.width - 10 - 80;
  set(Step1Control::PasswordBox, AddEdit(password_x, 12, 80, false));
  AddLabelBefore(kPasswordLabel, password_x, 12);

  // "Типы записей": three columns of seven, in the core's order.
  AddGroup(kRecordTypesTitle, 10, 76, kStep1Size.width - 20, 306);
  // Each column is as wide as its widest label and a box; what is left of
  // the group's width goes between the columns. A face wider than Tahoma
  // (where it is missing) narrows the boxes first, down to what a count of
  // six digits needs, so the third column stays inside the group.
  constexpr int kColumns = 3;
  constexpr int kCounterWidth = 60;
  constexpr int kNarrowestCounter = 44;
  std::array<int, kColumns> widest{};
  for (std::size_t index = 0; index < tape::kTapeCounterBoxes.size(); ++index) {
    int& column = widest[index / static_cast<std::size_t>(tape::kTapeCounterRows)];
    column = std::max(column, TextWidth(tape::kTapeCounterBoxes[index].label));
  }
  int labels = 0;
  for (int width : widest) labels += width + kLabelGap;
  const int inner_left = 20;
  const int inner_width = kStep1Size.width - 40;
  const int for_boxes = inner_width - labels - (kColumns - 1) * kLabelGap;
  const int counter_width = std::clamp(for_boxes / kColumns, kNarrowestCounter, kCounterWidth);
  const int spacing = std::max(kLabelGap, (inner_width - labels - kColumns * counter_width) / (kColumns - 1));
  int left = inner_left;
  for (std::size_t column = 0; column < kColumns; ++column) {
    const int box_x = left + widest[column] + kLabelGap;
    for (int row = 0; row < tape::kTapeCounterRows; ++row) {
      const std::size_t index = column * static_cast<std::size_t>(tape::kTapeCounterRows) + static_cast<std::size_t>(row);
      if (index >= tape::kTapeCounterBoxes.size()) break;
      const int y = 100 + row * 40;
      counters_[index] = AddEdit(box_x, y, counter_width, false, "0");
      AddLabelBefore(tape::kTapeCounterBoxes[index].label, box_x, y);
    }
    left = box_x + counter_width + spacing;
  }

  // Bottom row.
  const int buttons_y = kStep1Size.height - 10 - 25;
  indicator_ = AddControl(WC_STATICW, SS_OWNERDRAW, 10, buttons_y, 25, 25);
  set(Step1Control::ConnectButton, AddButton(kConnectText, 43, buttons_y, 110, [this] { Button1Click(); }));
  set(Step1Control::ReadTapeButton, AddButton(kReadTapeText, 169, buttons_y, 150, [this] { Button2Click(); }));
  set(Step1Control::FinishButton, AddButton(kFinishText, 327, buttons_y, 110, [this] { Button3Click(); }));
  set(Step1Control::NextButton,
      AddButton(kNextText, kStep1Size.width - 10 - 110, buttons_y, 110, [this] { Button4Click(); }));
  EnableWindow(Control(Step1Control::ReadTapeButton), FALSE);
  EnableWindow(Control(Step1Control::NextButton), FALSE);

  std::vector<HWND> stops;
  for (Step1Control control : kStep1TabStops) stops.push_back(Control(control));
  SetTabStops(std::move(stops));
}

HWND TForm1::Control(Step1Control control) const { return controls_[static_cast<std::size_t>(control)]; }

void TForm1::SetText(Step1Control control, std::string_view text) { SetControlText(Control(control), text); }

std::string TForm1::Text(Step1Control control) const { return ControlText(Control(control)); }

void TForm1::SetEnabled(Step1Control control, bool enabled) { EnableWindow(Control(control), enabled ? TRUE : FALSE); }

void TForm1::SetFocus(Step1Control control) { ::SetFocus(Control(control)); }

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
  const int corner = Px(10);
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
