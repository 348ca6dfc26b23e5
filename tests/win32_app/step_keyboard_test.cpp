// The keyboard of a shown Win32 step window, through the same look at each
// message the main loop takes: Enter presses the focused button, Tab walks
// the tab stops and never types into the tape, Escape asks to stop.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/win32/tform1.h"
#include "app/win32/tform3.h"
#include "app/win32/wide_text.h"

namespace fjl::app::win32 {
namespace {

// Step 3 with its presenter's calls recorded instead of made.
class RecordedForm3 final : public TForm3 {
 public:
  using TForm3::TForm3;
  std::vector<HWND> Pressed;
  int Escapes = 0;

 protected:
  void Clicked(HWND button) override { Pressed.push_back(button); }
  void EscapePressed() override { ++Escapes; }
};

struct Search {
  std::string Text;
  HWND Found = nullptr;
};

// A callback of Windows' own calling convention: on 32-bit Windows that is
// not a lambda's.
BOOL CALLBACK FindText(HWND child, LPARAM data) {
  auto* wanted = reinterpret_cast<Search*>(data);
  if (Utf8(WindowText(child)) != wanted->Text) return TRUE;
  wanted->Found = child;
  return FALSE;
}

HWND ChildWithText(HWND window, const std::string& text) {
  Search search{text};
  EnumChildWindows(window, &FindText, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

HWND TapeBox(HWND window) { return FindWindowExW(window, nullptr, L"Edit", nullptr); }

void HoldShift(bool held) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_SHIFT] = held ? 0x80 : 0;
  SetKeyboardState(keys);
}

// A key press as the main loop sees it, before dispatching; true when the
// wizard's keyboard took it.
bool Press(HWND focused, WPARAM key) {
  SetFocus(focused);
  const MSG message{focused, WM_KEYDOWN, key, 0, 0, {}};
  return StepWindow::HandleKey(message);
}

// One shown window for the suite: wine takes seconds to unmap a window.
class StepKeyboard : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    toolkit_ = new Win32Toolkit;
    form_ = new RecordedForm3(*toolkit_);
    form_->ShowWindow();
  }
  static void TearDownTestSuite() {
    delete form_;
    delete toolkit_;
  }
  void SetUp() override {
    restore_ = ChildWithText(form_->Handle(), "Восстановить контр. ленту");
    save_ = ChildWithText(form_->Handle(), "Сохранить");
    finish_ = ChildWithText(form_->Handle(), "Завершить");
    box_ = TapeBox(form_->Handle());
    ASSERT_TRUE(restore_ && save_ && finish_ && box_);
    for (HWND button : {restore_, save_, finish_}) EnableWindow(button, TRUE);
    form_->Pressed.clear();
    form_->Escapes = 0;
  }
  void TearDown() override { HoldShift(false); }

  static inline Win32Toolkit* toolkit_ = nullptr;
  static inline RecordedForm3* form_ = nullptr;
  HWND restore_ = nullptr, save_ = nullptr, finish_ = nullptr, box_ = nullptr;
};

TEST_F(StepKeyboard, EnterPressesTheFocusedEnabledButtonOnly) {
  EXPECT_TRUE(Press(save_, VK_RETURN));
  EXPECT_EQ(form_->Pressed, std::vector<HWND>{save_});
  EnableWindow(finish_, FALSE);
  EXPECT_TRUE(Press(finish_, VK_RETURN));
  EXPECT_EQ(form_->Pressed, std::vector<HWND>{save_});
}

TEST_F(StepKeyboard, TabWalksTheStopsPastDisabledOnesAndWraps) {
  struct Move {
    HWND From;
    bool Back;
    HWND To;
  };
  EnableWindow(save_, FALSE);
  const Move moves[] = {
      {box_, false, restore_},   {restore_, false, finish_},  // past the disabled one
      {finish_, false, box_},    {box_, true, finish_},       // round the end, both ways
      {finish_, true, restore_},
  };
  for (const Move& move : moves) {
    HoldShift(move.Back);
    EXPECT_TRUE(Press(move.From, VK_TAB));
    EXPECT_EQ(GetFocus(), move.To);
  }
}

// Step 1 from the port list: the connect button three Tabs away, no stop on
// a reply box or a counter, the buttons of a closed port passed over.
TEST(StepOneKeyboard, TabVisitsOnlyTheTabStops) {
  Win32Toolkit toolkit;
  TForm1 form(toolkit);
  form.ShowWindow();
  form.SetText(wizard::Step1Control::PasswordBox, "482913");
  HWND port = FindWindowExW(form.Handle(), nullptr, L"ComboBox", nullptr);
  HWND speed = FindWindowExW(form.Handle(), port, L"ComboBox", nullptr);
  HWND password = ChildWithText(form.Handle(), "482913");
  HWND connect = ChildWithText(form.Handle(), "Подключить");
  HWND finish = ChildWithText(form.Handle(), "Завершить");
  ASSERT_TRUE(port && speed && password && connect && finish);
  std::vector<HWND> visited;
  HWND focused = port;
  for (int press = 0; press < 5; ++press) {
    EXPECT_TRUE(Press(focused, VK_TAB));
    focused = GetFocus();
    visited.push_back(focused);
  }
  EXPECT_EQ(visited, (std::vector<HWND>{speed, password, connect, finish, port}));
}

TEST_F(StepKeyboard, TabNeverTypesIntoTheTape) {
  form_->SetText(wizard::Step3Control::TapeText, "ЧЕК 1");
  EXPECT_TRUE(Press(box_, VK_TAB));
  EXPECT_EQ(form_->Text(wizard::Step3Control::TapeText), "ЧЕК 1");
  EXPECT_NE(GetFocus(), box_);
}

TEST_F(StepKeyboard, EscapeAsksFromEveryControlOtherKeysPassThrough) {
  EXPECT_TRUE(Press(box_, VK_ESCAPE));
  EXPECT_TRUE(Press(save_, VK_ESCAPE));
  EXPECT_EQ(form_->Escapes, 2);
  EXPECT_FALSE(Press(box_, 'A'));
  EXPECT_FALSE(Press(save_, VK_SPACE));
  EXPECT_TRUE(form_->Pressed.empty());
}

// Closes the message box that is up, from inside its own modal loop.
void CALLBACK AnswerTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  const HWND box = GetActiveWindow();
  if (box != nullptr) PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// A plain window gives the focus to itself when it is active again; once a
// message box closes, the control that had the focus must have it again, or
// Enter would press nothing (or type into the tape).
TEST_F(StepKeyboard, TheFocusComesBackWhenAMessageBoxCloses) {
  for (HWND had : {save_, finish_}) {
    SetFocus(had);
    ASSERT_EQ(GetFocus(), had);
    SetTimer(nullptr, 0, 200, &AnswerTheBox);
    form_->ShowMessage("Невозможно подключить порт");
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(GetFocus(), had);
  }
}

}  // namespace
}  // namespace fjl::app::win32
