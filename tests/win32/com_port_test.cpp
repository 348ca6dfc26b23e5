#include "serial/win32/com_port.h"

#include <gtest/gtest.h>

namespace fjl::serial::win32 {
namespace {

DCB PortAsFound() {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = 1200;
  dcb.ByteSize = 7;
  dcb.Parity = EVENPARITY;
  dcb.StopBits = TWOSTOPBITS;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_TOGGLE;
  dcb.fOutxCtsFlow = TRUE;
  dcb.XonChar = 0x11;
  return dcb;
}

TEST(ComLine, ThePrinterLinkSetsEightNoneOneAndLeavesTheModemLinesAlone) {
  DCB dcb = PortAsFound();
  ComLine line;
  line.bits_per_second = 115200;
  PutLine(dcb, line);
  EXPECT_EQ(dcb.BaudRate, 115200u);
  EXPECT_EQ(dcb.ByteSize, 8);
  EXPECT_EQ(dcb.Parity, NOPARITY);
  EXPECT_EQ(dcb.StopBits, ONESTOPBIT);
  EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
  EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_TOGGLE));
  EXPECT_EQ(dcb.fOutxCtsFlow, static_cast<DWORD>(TRUE));
  EXPECT_EQ(dcb.XonChar, 0x11);
}

TEST(ComLine, TheComponentSetsTheModemLinesItIsGiven) {
  DCB dcb = PortAsFound();
  ComLine line;
  line.byte_size = 5;
  line.parity = MARKPARITY;
  line.stop_bits = ONE5STOPBITS;
  line.dtr_control = DTR_CONTROL_HANDSHAKE;
  line.rts_control = RTS_CONTROL_DISABLE;
  PutLine(dcb, line);
  EXPECT_EQ(dcb.ByteSize, 5);
  EXPECT_EQ(dcb.Parity, MARKPARITY);
  EXPECT_EQ(dcb.StopBits, ONE5STOPBITS);
  EXPECT_EQ(dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_HANDSHAKE));
  EXPECT_EQ(dcb.fRtsControl, static_cast<DWORD>(RTS_CONTROL_DISABLE));
  EXPECT_EQ(dcb.fOutxCtsFlow, static_cast<DWORD>(TRUE)) << "flow control stays as the port has it";
}

TEST(ComPortOpen, AMissingPortIsNotFoundInTheSystemsNumbering) {
  const Result<HANDLE> opened = OpenComPort("COM249");
  ASSERT_FALSE(opened);
  EXPECT_EQ(opened.Failure().Kind(), platform::ErrorKind::NotFound);
  EXPECT_EQ(opened.Failure().Numbering(), platform::ErrorNumbering::System);
  EXPECT_EQ(opened.Failure().Text(), platform::SystemErrorText(opened.Failure().Code()));
}

}  // namespace
}  // namespace fjl::serial::win32
