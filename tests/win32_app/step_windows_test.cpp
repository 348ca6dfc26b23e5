// The Win32 step windows as created, before any presenter sets them: their
// captions, client sizes, the texts and enabled state of their buttons, and
// the tape box's lines.

#include <gtest/gtest.h>
#include <windows.h>

#include <map>
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

}  // namespace
}  // namespace fjl::app::win32
