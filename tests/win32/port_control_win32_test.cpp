#include <windows.h>

#include <gtest/gtest.h>

#include <cerrno>

#include "port/port_fakes.h"  // tests/port
#include "platform/system_result.h"
#include "port/port_control.h"
#include "serial/serial_channel.h"

namespace fjl::port {
namespace {

TEST(Win32ErrorText, SystemMessageThenTheCodeInHex) {
  TPortControl control(nullptr);
  control.ErrorString(ERROR_FILE_NOT_FOUND);
  const std::string& text = control.Description();
  const std::string tail = "\nError = 0x2";
  ASSERT_GT(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  const std::string message = text.substr(0, text.size() - tail.size());
  EXPECT_EQ(message, platform::SystemErrorText(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(message.find('\r'), std::string::npos) << "the message table's line end is dropped";

  // An HRESULT of the Win32 facility stands for its low half.
  control.ErrorString(0x80070005u);
  EXPECT_EQ(control.Description(), platform::SystemErrorText(ERROR_ACCESS_DENIED) + "\nError = 0x5");
}

TEST(Win32Port, AMissingComPortFailsToOpen) {
  TPortControl control;
  control.EnableDescr = true;
  control.Port = "COM250";
  EXPECT_EQ(control.OpenPort(), kPortOpenFailed);
  EXPECT_NE(control.LastError(), 0u);
  EXPECT_FALSE(control.IsOpen());

  const serial::OpenedChannel channel = serial::OpenSerialPort("COM250", 9600);
  ASSERT_FALSE(channel);
  EXPECT_EQ(channel.Failure().Kind(), platform::ErrorKind::NotFound);
  EXPECT_EQ(channel.Failure().Numbering(), platform::ErrorNumbering::System);
}

TEST(Win32Session, RaisesToRealTimeAndRestores) {
  auto port = std::make_shared<testing::FakePort>();
  TPortControl control(testing::FakeOpener(port));  // the system scheduler
  ASSERT_EQ(control.OpenPort(), 0);
  HANDLE process = ::GetCurrentProcess();
  HANDLE thread = ::GetCurrentThread();
  const DWORD class_before = ::GetPriorityClass(process);
  const int thread_before = ::GetThreadPriority(thread);

  ASSERT_EQ(control.StartSession(true), 0) << control.Description();
  EXPECT_EQ(::GetPriorityClass(process), static_cast<DWORD>(REALTIME_PRIORITY_CLASS));
  EXPECT_EQ(::GetThreadPriority(thread), THREAD_PRIORITY_TIME_CRITICAL);
  EXPECT_EQ(control.EndSession(false), 0);
  EXPECT_EQ(::GetPriorityClass(process), class_before);
  EXPECT_EQ(::GetThreadPriority(thread), thread_before);
}

}  // namespace
}  // namespace fjl::port
