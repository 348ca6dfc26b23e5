#include "serial/win32/com_names.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace fjl::serial::win32 {
namespace {

TEST(DevicePath, EveryNameGoesThroughTheDeviceNamespace) {
  EXPECT_EQ(DevicePath("COM3"), "\\\\.\\COM3");
  EXPECT_EQ(DevicePath("COM12"), "\\\\.\\COM12");  // above 9: only this form reaches it
  EXPECT_EQ(DevicePath("\\\\.\\COM12"), "\\\\.\\COM12");
  EXPECT_EQ(DevicePath("com7"), "\\\\.\\com7");
}

TEST(DeviceGone, PulledAdapterErrorsAreTheOnlyOnes) {
  struct Case {
    unsigned long code;
    bool gone;
  };
  const Case cases[] = {
      {5, true},      {21, true},  {22, true},  {31, true},   {995, true}, {1167, true}, {1617, true},
      {0, false},     {2, false},  {6, false},  {87, false},  {1460, false},
  };
  for (const Case& c : cases) EXPECT_EQ(MeansDeviceGone(c.code), c.gone) << c.code;
}

TEST(OpenErrors, MeanWhatTheyMeanForAComPort) {
  using platform::ErrorKind;
  EXPECT_EQ(OpenFailureKind(2), ErrorKind::NotFound);      // no such port
  EXPECT_EQ(OpenFailureKind(5), ErrorKind::Busy);          // held by another program
  EXPECT_EQ(OpenFailureKind(32), ErrorKind::Busy);
  EXPECT_EQ(OpenFailureKind(1), ErrorKind::NotATerminal);  // not a serial port
  EXPECT_EQ(OpenFailureKind(1784), ErrorKind::Other);
}

}  // namespace
}  // namespace fjl::serial::win32
