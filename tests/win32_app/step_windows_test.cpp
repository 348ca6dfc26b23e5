// The Win32 step windows as created, before any presenter sets them: their
// captions, client sizes, the texts and enabled state of their buttons, and
// the tape box's lines; a window Windows refuses to make, and a button's
// handler that throws.

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/win32/tform1.h"
#include "app/win32/tform2.h"
#include "app/win32/tform3.h"
#include "app/win32/wide_text.h"

namespace fjl::app::win32 {
namespace {

struct Child {
  std::wstring Class;
  std::string Text;
  bool Enabled;
};

// A callback of Windows' own calling convention: on 32-bit Windows that is
// not a lambda's.
BOOL CALLBACK AddChild(HWND child, LPARAM found) {
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  reinterpret_cast<std::vector<Child>*>(found)->push_back({name, Utf8(WindowText(child)), IsWindowEnabled(child) != FALSE});
  return TRUE;
}

std::vector<Child> ChildrenOf(HWND window) {
  std::vector<Child> children;
  EnumChildWindows(window, &AddChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

// Push buttons by text, with whether each is enabled.
std::map<std::string, bool> Buttons(HWND window) {
  std::map<std::string, bool> buttons;
  for (const Child& child : ChildrenOf(window)) {
    if (_wcsicmp(child.Class.c_str(), L"Button") == 0) buttons[child.Text] = child.Enabled;
  }
  return buttons;
}

int DpiOfScreen() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

struct WindowCase {
  HWND Window;
  const char* Caption;
  int Width, Height;
  std::map<std::string, bool> ButtonStates;
};

TEST(StepWindows, CaptionsSizesAndButtonsAsCreated) {
  Win32Toolkit toolkit;
  TForm1 form1(toolkit);
  TForm2 form2(toolkit);
  TForm3 form3(toolkit);
  const WindowCase cases[] = {
      {form1.Handle(), "Чтение контрольной ленты (Varkon KM-L710, KM-5820L). Шаг 1.", 784, 432,
       {{"Подключить", true},
        {"Читать эл. контр. ленту", false},
        {"Завершить", true},
        {"Дальше ->", false},
        {"Типы записей", true}}},
      {form2.Handle(), "Чтение вспомогательных данных. Шаг 2.", 409, 432,
       {{"Читать вспом. параметры", true}, {"Завершить", true}, {"Дальше ->", false}}},
      {form3.Handle(), "Восстановление контрольной ленты. Шаг 3.", 632, 473,
       {{"Восстановить контр. ленту", true}, {"Сохранить", true}, {"Завершить", true}}},
  };
  const int dpi = DpiOfScreen();
  for (const WindowCase& expected : cases) {
    SCOPED_TRACE(expected.Caption);
    EXPECT_EQ(Utf8(WindowText(expected.Window)), expected.Caption);
    RECT client{};
    GetClientRect(expected.Window, &client);
    EXPECT_EQ(client.right, MulDiv(expected.Width, dpi, 96));
    EXPECT_EQ(client.bottom, MulDiv(expected.Height, dpi, 96));
    EXPECT_EQ(Buttons(expected.Window), expected.ButtonStates);
    // A tool window with no caption buttons, not resizable, yet on the
    // taskbar and in Alt+Tab.
    const LONG_PTR style = GetWindowLongPtrW(expected.Window, GWL_STYLE);
    EXPECT_EQ(style & (WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    const LONG_PTR ex_style = GetWindowLongPtrW(expected.Window, GWL_EXSTYLE);
    EXPECT_NE(ex_style & WS_EX_TOOLWINDOW, 0);
    EXPECT_NE(ex_style & WS_EX_APPWINDOW, 0);
  }
}

TEST(StepWindows, CountersStartAtZero) {
  Win32Toolkit toolkit;
  TForm1 form1(toolkit);
  TForm2 form2(toolkit);
  for (std::size_t box = 0; box < 21; ++box) EXPECT_EQ(form1.CounterText(box), "0") << box;
  for (std::size_t box = 0; box < 5; ++box) EXPECT_EQ(form2.CounterText(box), "0") << box;
  form1.SetCounterText(20, "17");
  EXPECT_EQ(form1.CounterText(20), "17");
}

TEST(StepWindows, TapeBoxAppendsLinesAfterItsEmptyOne) {
  Win32Toolkit toolkit;
  TForm3 form3(toolkit);
  EXPECT_EQ(form3.TapeLines(), std::vector<std::string>{""});
  const std::vector<std::string> first = {"ЧЕК 1", "ИТОГ  12.50"};
  form3.AppendLines(first);
  // A line break inside a line stays one line of the box.
  const std::vector<std::string> second = {"a\r\nb", ""};
  form3.AppendLines(second);
  EXPECT_EQ(form3.TapeLines(), (std::vector<std::string>{"", "ЧЕК 1", "ИТОГ  12.50", "a  b", ""}));
}

// The box's lines end in CR LF; the wizard's text has "\n".
TEST(StepWindows, TheTapeBoxTextHasTheWizardsLineEnds) {
  Win32Toolkit toolkit;
  TForm3 form3(toolkit);
  form3.SetText(wizard::Step3Control::TapeText, "ЧЕК 1\nИТОГ");
  EXPECT_EQ(form3.TapeLines(), (std::vector<std::string>{"ЧЕК 1", "ИТОГ"}));
  EXPECT_EQ(form3.Text(wizard::Step3Control::TapeText), "ЧЕК 1\nИТОГ");
}

// The lines arrive below what the user looks at: the box neither scrolls
// nor moves the caret or selection.
TEST(StepWindows, AppendedLinesLeaveTheViewAndSelectionAlone) {
  Win32Toolkit toolkit;
  TForm3 form3(toolkit);
  HWND box = FindWindowExW(form3.Handle(), nullptr, L"Edit", nullptr);
  form3.SetText(wizard::Step3Control::TapeText, "ЧЕК 1\nИТОГ");
  SendMessageW(box, EM_SETSEL, 2, 4);
  const std::vector<std::string> lines(500, "строка");
  form3.AppendLines(lines);
  DWORD start = 0, end = 0;
  SendMessageW(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 4u);
  EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
  EXPECT_EQ(form3.TapeLines().size(), 502u);
}

TEST(StepWindows, ListsShowTheItemSetAndSelected) {
  Win32Toolkit toolkit;
  TForm1 form1(toolkit);
  const std::vector<std::string> ports = {"COM1", "COM5"};
  form1.SetListItems(wizard::Step1Control::PortList, ports, 1);
  EXPECT_EQ(form1.Text(wizard::Step1Control::PortList), "COM5");
  form1.SetText(wizard::Step1Control::PortList, "COM1");
  EXPECT_EQ(form1.Text(wizard::Step1Control::PortList), "COM1");
  form1.SetListItems(wizard::Step1Control::PortList, ports, -1);
  EXPECT_EQ(form1.Text(wizard::Step1Control::PortList), "");
}

LOGFONTW FontOf(HWND control) {
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
  return font;
}

// Moved to a 192-dpi screen: everything twice its 96-dpi size, at the place
// Windows suggests.
TEST(StepWindows, ANewDpiLaysTheWindowOutAnew) {
  Win32Toolkit toolkit;
  TForm3 form3(toolkit);
  RECT suggested{10, 20, 900, 900};
  SendMessageW(form3.Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));

  RECT client{};
  GetClientRect(form3.Handle(), &client);
  EXPECT_EQ(client.right, 2 * 632);
  EXPECT_EQ(client.bottom, 2 * 473);
  RECT frame{};
  GetWindowRect(form3.Handle(), &frame);
  EXPECT_EQ(frame.left, 10);
  EXPECT_EQ(frame.top, 20);

  HWND finish = FindWindowExW(form3.Handle(), nullptr, L"Button", L"Завершить");
  ASSERT_NE(finish, nullptr);
  RECT button{};
  GetWindowRect(finish, &button);
  MapWindowPoints(nullptr, form3.Handle(), reinterpret_cast<POINT*>(&button), 2);
  EXPECT_EQ(button.left, 2 * (632 - 12 - 110));
  EXPECT_EQ(button.right - button.left, 2 * 110);
  EXPECT_EQ(button.bottom - button.top, 2 * 25);

  const int eight_points = -MulDiv(8, 192, 72);
  EXPECT_EQ(FontOf(finish).lfHeight, eight_points);
  const LOGFONTW tape = FontOf(FindWindowExW(form3.Handle(), nullptr, L"Edit", nullptr));
  EXPECT_EQ(tape.lfHeight, eight_points);
  EXPECT_STREQ(tape.lfFaceName, L"Courier New");
}

// A bare step window, its controls made by the test.
class TestWindow : public StepWindow {
 public:
  explicit TestWindow(Win32Toolkit& toolkit) : StepWindow(toolkit, "Окно проверки", {200, 100}) {}
  using StepWindow::AddButton;
  using StepWindow::AddControl;

 protected:
  void CloseRequested() override {}
  void EscapePressed() override {}
};

// A window whose last control Windows cannot make.
class HalfMadeWindow final : public TestWindow {
 public:
  explicit HalfMadeWindow(Win32Toolkit& toolkit) : TestWindow(toolkit) {
    AddControl(L"НетТакогоКласса", 0, 0, 0, 10, 10);
  }
};

BOOL CALLBACK CountStepWindow(HWND window, LPARAM count) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (std::wstring(name) == L"FjlStepWindow") ++*reinterpret_cast<int*>(count);
  return TRUE;
}

int StepWindowsOfThisThread() {
  int count = 0;
  EnumThreadWindows(GetCurrentThreadId(), &CountStepWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST(StepWindows, AControlWindowsCannotMakeFailsTheWindowWithItsReason) {
  Win32Toolkit toolkit;
  const int before = StepWindowsOfThisThread();
  try {
    HalfMadeWindow window(toolkit);
    FAIL() << "made";
  } catch (const WindowNotMade& error) {
    EXPECT_EQ(std::string(error.what()).rfind("Не удалось создать окно программы.\n", 0), 0u) << error.what();
    EXPECT_NE(std::string(error.what()).find("\nError = 0x583"), std::string::npos)
        << "ERROR_CLASS_DOES_NOT_EXIST: " << error.what();
  }
  EXPECT_EQ(StepWindowsOfThisThread(), before) << "nothing half-made is left";
}

// What the message box said, read from inside its own modal loop before it
// is answered.
std::string box_title;
std::string box_text;

BOOL CALLBACK ReadBoxText(HWND child, LPARAM) {
  wchar_t name[64] = {};
  GetClassNameW(child, name, 64);
  if (_wcsicmp(name, L"Static") == 0 && GetWindowTextLengthW(child) > 0) box_text = Utf8(WindowText(child));
  return TRUE;
}

void CALLBACK ReadAndAnswerTheBox(HWND, UINT, UINT_PTR timer, DWORD) {
  KillTimer(nullptr, timer);
  const HWND box = GetActiveWindow();
  if (box == nullptr) return;
  box_title = Utf8(WindowText(box));
  EnumChildWindows(box, &ReadBoxText, 0);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// A button runs what it was made with; an error that escapes it ends in the
// error box over the window, as on Qt, and the window goes on.
TEST(StepWindows, AButtonRunsItsHandlerAndAnEscapingErrorIsShown) {
  Win32Toolkit toolkit;
  TestWindow window(toolkit);
  int pressed = 0;
  HWND button = window.AddButton("Сохранить", 10, 10, 110, [&pressed] {
    if (++pressed == 2) throw std::runtime_error("Ошибка записи");
  });
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(pressed, 1);
  EXPECT_TRUE(box_text.empty());

  SetTimer(nullptr, 0, 200, &ReadAndAnswerTheBox);
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(pressed, 2);
  EXPECT_EQ(box_title, "Окно проверки");
  EXPECT_EQ(box_text, "Ошибка записи");
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_EQ(pressed, 3);
}

}  // namespace
}  // namespace fjl::app::win32
