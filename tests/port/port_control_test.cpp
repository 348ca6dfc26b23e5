#include "port/port_control.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "port_fakes.h"

namespace fjl::port {
namespace {

using testing::Described;
using testing::FakeOpener;
using testing::FakePort;
using testing::FakeScheduler;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

class PortControl : public ::testing::Test {
 protected:
  PortControl()
      : port_(std::make_shared<FakePort>()),
        scheduler_(std::make_shared<FakeScheduler>()),
        control_(FakeOpener(port_), scheduler_) {
    control_.Port = "COM3";
    control_.EnableDescr = true;
  }
  void OpenWithSession() {
    ASSERT_EQ(control_.OpenPort(), 0);
    ASSERT_EQ(control_.StartSession(false), 0);
  }

  std::shared_ptr<FakePort> port_;
  std::shared_ptr<FakeScheduler> scheduler_;
  TPortControl control_;
};

TEST(PortControlProperties, DefaultsAndEnumeratedValues) {
  TPortControl control(testing::FakeOpener(std::make_shared<FakePort>()), std::make_shared<FakeScheduler>());
  EXPECT_EQ(control.Timeout, (T1CommTimeouts{0, 0, 1000, 0, 0}));
  EXPECT_FALSE(control.Buffering);
  EXPECT_EQ(control.Port, "");
  EXPECT_EQ(control.DTR, dtrcontrol::DTR_HANDSHAKE);
  EXPECT_EQ(control.RTS, rtscontrol::RTS_HANDSHAKE);
  EXPECT_EQ(control.DataBits, databit::Bits8);
  EXPECT_EQ(control.BaudRate, speed::S009600);
  EXPECT_EQ(control.Parity, parity::NO);
  EXPECT_EQ(control.StopBits, stopbits::ONE);
  EXPECT_EQ(control.EndChar, 0);
  EXPECT_FALSE(control.WaitEndChar);
  EXPECT_FALSE(control.EnableDescr);
  EXPECT_FALSE(control.IsOpen());

  // The numbering is fixed: saved settings refer to values by position.
  const std::uint32_t rates[] = {256000, 128000, 115200, 57600, 56000, 38400, 19200, 11400,
                                 9600,   4800,   2400,   1200,  600,   300,   110};
  for (int i = 0; i < 15; ++i) {
    EXPECT_EQ(BitsPerSecond(static_cast<speed>(i)), rates[i]) << kSpeedNames[static_cast<std::size_t>(i)];
  }
  EXPECT_EQ(static_cast<int>(speed::S011400), 7);
  EXPECT_EQ(kSpeedNames[7], "S011400");
  EXPECT_EQ(kSpeedNames[14], "S000110");
  EXPECT_EQ(DataBitCount(databit::Bits5), 5);
  EXPECT_EQ(DataBitCount(databit::Bits8), 8);
  EXPECT_EQ(ParityCode(parity::NO), 0);
  EXPECT_EQ(ParityCode(parity::EVEN), 2);
  EXPECT_EQ(ParityCode(parity::MARK), 3);
  EXPECT_EQ(ParityCode(parity::ODD), 1);
  EXPECT_EQ(kParityNames[2], "MARK");
  EXPECT_EQ(StopBitsCode(stopbits::ONE5), 1);
  EXPECT_EQ(kStopBitNames[1], "ONE5");
  EXPECT_EQ(static_cast<int>(dtrcontrol::DTR_HANDSHAKE), 2);
  EXPECT_EQ(kRtsControlNames[1], "RTS_ENABLE");
}

TEST_F(PortControl, EveryOperationOnAClosedPortAnswersMinusOne) {
  struct Case {
    const char* name;
    std::function<int()> call;
    const char* description;
  };
  std::vector<std::uint8_t> buffer(8);
  std::uint32_t count = 99;
  const Case cases[] = {
      {"ClosePort", [&] { return control_.ClosePort(); }, "Port was not opened!\nError = -1"},
      {"StartSession", [&] { return control_.StartSession(true); }, "Port was not opened!\nError = -1"},
      {"EndSession", [&] { return control_.EndSession(true); }, "Port was not opened!\nError = -1"},
      {"WriteData", [&] { return control_.WriteData(buffer, count); }, "Port was not opened.\nError = -1"},
      {"ReadData", [&] { return control_.ReadData(buffer, count); }, "Port was not opened!\nError = -1"},
      {"ClearError", [&] { return control_.ClearError(); }, "Port was not opened!\nError = -1"},
      {"SetPortTimeouts", [&] { return control_.SetPortTimeouts(); }, "Port was not opened!\nError = -1"},
      {"EscapeCommFunction", [&] { return control_.EscapeCommFunction(kSetDtr); }, "Port was not opened!\nError = -1"},
      {"ClearBuffers", [&] { return control_.ClearBuffers(kPurgeAll); }, "Port was not opened!\nError = -1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.call(), -1);
    EXPECT_EQ(control_.Description(), c.description);
    EXPECT_EQ(control_.LastError(), 0u);
  }
  EXPECT_EQ(count, 0u) << "the out-counts are cleared";
  EXPECT_EQ(port_->opens, 0);
}

TEST_F(PortControl, EveryOperationWithoutASessionAnswersMinus21) {
  ASSERT_EQ(control_.OpenPort(), 0);
  struct Case {
    const char* name;
    std::function<int()> call;
    const char* description;
  };
  std::vector<std::uint8_t> buffer(8);
  std::uint32_t count = 0;
  const Case cases[] = {
      {"EndSession", [&] { return control_.EndSession(false); }, "Session was not opened!\nError = -21"},
      {"WriteData", [&] { return control_.WriteData(buffer, count); }, "Session was not opened.\nError = -21"},
      {"ReadData", [&] { return control_.ReadData(buffer, count); }, "Session was not opened!!\nError = -21"},
      {"ClearError", [&] { return control_.ClearError(); }, "Session was not opened\nError = -21"},
      {"EscapeCommFunction", [&] { return control_.EscapeCommFunction(kSetRts); }, "Session was not opened.\nError = -21"},
      {"ClearBuffers", [&] { return control_.ClearBuffers(kPurgeRxClear); }, "Session was not opened.\nError = -21"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.call(), -21);
    EXPECT_EQ(control_.Description(), c.description);
  }
  EXPECT_TRUE(port_->sent.empty());
  EXPECT_TRUE(port_->escapes.empty());
  // Time-outs need no session.
  EXPECT_EQ(control_.SetPortTimeouts(), 0);
  EXPECT_EQ(control_.Description(), "");
}

TEST_F(PortControl, DescriptionsAreKeptOnlyWhenEnabled) {
  control_.EnableDescr = false;
  std::uint32_t count = 0;
  std::vector<std::uint8_t> buffer(4);
  EXPECT_EQ(control_.ReadData(buffer, count), -1);
  EXPECT_EQ(control_.Description(), "");
  port_->open_error = ENOENT;
  EXPECT_EQ(control_.OpenPort(), -2);
  EXPECT_EQ(control_.Description(), "");
  EXPECT_EQ(control_.LastError(), static_cast<std::uint32_t>(ENOENT)) << "the system code is kept regardless";

  control_.EnableDescr = true;
  EXPECT_EQ(control_.OpenPort(), -2);
  EXPECT_EQ(control_.Description(), Described(ENOENT, "No such file or directory") + "\nError = 0x2");
  port_->open_error = 0;
  EXPECT_EQ(control_.OpenPort(), 0);
  EXPECT_EQ(control_.Description(), "") << "a success clears the description";
  EXPECT_EQ(control_.LastError(), 0u);
}

TEST_F(PortControl, ErrorStringFormatsTheSystemMessageAndCode) {
  control_.ErrorString(5);
  EXPECT_EQ(control_.Description(), Described(EIO, "Input/output error") + "\nError = 0x5");
  control_.ErrorString(22);
  EXPECT_EQ(control_.Description(), Described(EINVAL, "Invalid argument") + "\nError = 0x16");
  // Facility 8, and 7 that wraps Win32 codes in results (HRESULT_FROM_WIN32),
  // carry a plain code in the low half.
  for (const std::uint32_t wrapped : {0x80080005u, 0x80070005u}) {
    control_.ErrorString(wrapped);
    EXPECT_EQ(control_.Description(), Described(EIO, "Input/output error") + "\nError = 0x5") << wrapped;
  }
  control_.ErrorString(0x80090005u);  // any other facility is a code of its own
  EXPECT_EQ(control_.Description().substr(control_.Description().size() - 19), "\nError = 0x80090005");
}

TEST_F(PortControl, OpenPortWritesThePropertiesAndTheTimeouts) {
  control_.BaudRate = speed::S011400;
  control_.DataBits = databit::Bits7;
  control_.Parity = parity::MARK;
  control_.StopBits = stopbits::TWO;
  control_.DTR = dtrcontrol::DTR_DISABLE;
  control_.RTS = rtscontrol::RTS_ENABLE;
  control_.Timeout.ReadTotalTimeoutConstant = 250;
  control_.Timeout.WriteTotalTimeoutMultiplier = 3;
  ASSERT_EQ(control_.OpenPort(), 0);
  EXPECT_EQ(port_->opened_name, "COM3") << "the name is used unchanged";
  EXPECT_EQ(port_->written_settings,
            (LineSettings{11400, databit::Bits7, parity::MARK, stopbits::TWO, dtrcontrol::DTR_DISABLE,
                          rtscontrol::RTS_ENABLE}));
  EXPECT_EQ(port_->timeouts, (T1CommTimeouts{0, 0, 250, 3, 0}));
  EXPECT_EQ(port_->read_settings_calls, 2) << "read before writing and read back after";
}

TEST_F(PortControl, OpenPortTwiceKeepsTheFirstPort) {
  ASSERT_EQ(control_.OpenPort(), 0);
  EXPECT_EQ(control_.OpenPort(), -20);
  EXPECT_EQ(control_.Description(), "Port was opened!\nError = -20");
  EXPECT_EQ(control_.LastError(), 0u);
  EXPECT_EQ(port_->opens, 1);
  EXPECT_EQ(port_->closes, 0);
  EXPECT_TRUE(control_.IsOpen());
}

TEST_F(PortControl, FailedOpenLeavesTheComponentClosed) {
  struct Case {
    const char* name;
    int FakePort::*error;
    int code;
    std::string description;
  };
  const Case cases[] = {
      {"open", &FakePort::open_error, -2, Described(EBUSY, "Device or resource busy") + "\nError = 0x10"},
      {"read settings", &FakePort::read_settings_error, -3, Described(EBUSY, "Device or resource busy") + "\nError = 0x10"},
      {"write settings", &FakePort::write_settings_error, -4, Described(EBUSY, "Device or resource busy") + "\nError = 0x10"},
      {"time-outs", &FakePort::timeouts_error, -5, Described(EBUSY, "Device or resource busy") + "\nError = 0x10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto port = std::make_shared<FakePort>();
    port.get()->*c.error = EBUSY;
    TPortControl control(FakeOpener(port), std::make_shared<FakeScheduler>());
    control.EnableDescr = true;
    EXPECT_EQ(control.OpenPort(), c.code);
    EXPECT_EQ(control.Description(), c.description);
    EXPECT_EQ(control.LastError(), static_cast<std::uint32_t>(EBUSY));
    EXPECT_FALSE(control.IsOpen());
    // The half-opened port was let go, so the component can try again.
    port.get()->*c.error = 0;
    EXPECT_EQ(control.OpenPort(), 0);
  }
}

TEST_F(PortControl, ClosePortFlushesPurgesAndClosesEvenWhenTheDeviceIsGone) {
  ASSERT_EQ(control_.OpenPort(), 0);
  EXPECT_EQ(control_.ClosePort(), 0);
  EXPECT_EQ(port_->purges, std::vector<std::uint32_t>{kPurgeAll});
  EXPECT_EQ(port_->closes, 1);
  EXPECT_FALSE(control_.IsOpen());

  struct Case {
    int FakePort::*error;
    int code;
  };
  for (const Case c : {Case{&FakePort::flush_error, -6}, Case{&FakePort::purge_error, -15}, Case{&FakePort::close_error, -7}}) {
    auto port = std::make_shared<FakePort>();
    TPortControl control(FakeOpener(port), std::make_shared<FakeScheduler>());
    ASSERT_EQ(control.OpenPort(), 0);
    port.get()->*c.error = EIO;
    EXPECT_EQ(control.ClosePort(), c.code);
    EXPECT_EQ(control.LastError(), static_cast<std::uint32_t>(EIO));
    EXPECT_EQ(port->closes, 1);
    EXPECT_FALSE(control.IsOpen());
    EXPECT_EQ(control.OpenPort(), 0) << "a port that failed to close cleanly can be opened again";
  }
}

TEST_F(PortControl, SessionRaisesAndRestoresThePriority) {
  ASSERT_EQ(control_.OpenPort(), 0);
  ASSERT_EQ(control_.StartSession(true), 0);
  EXPECT_TRUE(control_.InSession());
  EXPECT_EQ(scheduler_->nice, -20);
  EXPECT_EQ(scheduler_->schedule, (ThreadSchedule{1, 1}));
  EXPECT_EQ(port_->purges, std::vector<std::uint32_t>{kPurgeAll});
  EXPECT_EQ(control_.StartSession(false), -16);
  EXPECT_EQ(control_.Description(), "Session was opened!\nError = -16");
  EXPECT_EQ(control_.EndSession(false), 0);
  EXPECT_FALSE(control_.InSession());
  EXPECT_EQ(scheduler_->nice, 5);
  EXPECT_EQ(scheduler_->schedule, (ThreadSchedule{0, 0}));
  EXPECT_EQ(port_->purges.size(), 1u) << "no purge asked at the end";
}

TEST_F(PortControl, RefusedPriorityRaiseLeavesThePriorityAsItWas) {
  ASSERT_EQ(control_.OpenPort(), 0);
  scheduler_->refuse_raise_only = true;
  scheduler_->set_nice_error = EACCES;
  EXPECT_EQ(control_.StartSession(false), -9);
  EXPECT_EQ(control_.Description(), Described(EACCES, "Permission denied") + "\nError = 0xd");
  EXPECT_FALSE(control_.InSession());
  EXPECT_EQ(scheduler_->nice, 5);

  // The process priority may go up, the thread's real-time policy not.
  scheduler_->set_nice_error = 0;
  scheduler_->set_schedule_error = EPERM;
  EXPECT_EQ(control_.StartSession(false), -11);
  EXPECT_EQ(control_.Description(), Described(EPERM, "Operation not permitted") + "\nError = 0x1");
  EXPECT_FALSE(control_.InSession());
  EXPECT_EQ(scheduler_->nice, 5) << "the raise that did succeed was undone";
  EXPECT_EQ(scheduler_->schedule, (ThreadSchedule{0, 0}));

  scheduler_->set_schedule_error = 0;
  scheduler_->get_nice_error = EPERM;
  EXPECT_EQ(control_.StartSession(false), -8);
  scheduler_->get_nice_error = 0;
  scheduler_->get_schedule_error = EPERM;
  EXPECT_EQ(control_.StartSession(false), -10);
  EXPECT_EQ(scheduler_->nice, 5);
}

TEST_F(PortControl, FailedPurgeAtTheStartUndoesTheRaise) {
  ASSERT_EQ(control_.OpenPort(), 0);
  port_->purge_error = EIO;
  EXPECT_EQ(control_.StartSession(true), -15);
  EXPECT_FALSE(control_.InSession());
  EXPECT_EQ(scheduler_->nice, 5);
  EXPECT_EQ(scheduler_->schedule, (ThreadSchedule{0, 0}));
}

TEST_F(PortControl, SessionEndsEvenWhenItsFinalPurgeFails) {
  OpenWithSession();
  port_->purge_error = EIO;
  EXPECT_EQ(control_.EndSession(true), -15);
  EXPECT_FALSE(control_.InSession());
  EXPECT_EQ(scheduler_->nice, 5);
  port_->purge_error = 0;
  EXPECT_EQ(control_.StartSession(false), 0) << "no stuck session flag";
}

TEST_F(PortControl, ClosingThePortEndsItsSession) {
  OpenWithSession();
  EXPECT_EQ(control_.ClosePort(), 0);
  EXPECT_FALSE(control_.InSession());
  EXPECT_EQ(scheduler_->nice, 5);
  EXPECT_EQ(scheduler_->schedule, (ThreadSchedule{0, 0}));
}

TEST_F(PortControl, CharacterWriteFailingAtTheThirdByteReportsTwoWritten) {
  OpenWithSession();
  port_->transmit_fails_at = 3;
  std::uint32_t written = 99;
  EXPECT_EQ(control_.WriteData(Bytes("ABCDE"), written), -18);
  EXPECT_EQ(written, 2u);
  EXPECT_EQ(port_->sent, Bytes("AB"));
  EXPECT_EQ(control_.Description(), Described(EIO, "Input/output error") + "\nError = 0x5");
  EXPECT_EQ(control_.LastError(), 5u);
  EXPECT_EQ(port_->write_calls, 0) << "character by character without Buffering";
}

TEST_F(PortControl, WritesCharacterByCharacterOrInOneCall) {
  OpenWithSession();
  std::uint32_t written = 0;
  EXPECT_EQ(control_.WriteData(Bytes("\x01\x24OK"), written), 0);
  EXPECT_EQ(written, 4u);
  EXPECT_EQ(port_->transmit_calls, 4);

  control_.Buffering = true;
  EXPECT_EQ(control_.WriteData(Bytes("XYZ"), written), 0);
  EXPECT_EQ(written, 3u);
  EXPECT_EQ(port_->write_calls, 1);
  EXPECT_EQ(port_->sent, Bytes("\x01\x24OKXYZ"));

  port_->write_error = ETIMEDOUT;
  port_->partial_write = 1;
  EXPECT_EQ(control_.WriteData(Bytes("123"), written), -18);
  EXPECT_EQ(written, 1u) << "what did go out is reported";

  port_->write_error = 0;
  port_->flush_error = EIO;
  EXPECT_EQ(control_.WriteData(Bytes("1"), written), -6);
}

TEST_F(PortControl, ReadUntilTheEndCharacter) {
  OpenWithSession();
  control_.WaitEndChar = true;
  control_.EndChar = '\r';
  struct Case {
    const char* name;
    std::deque<std::vector<std::uint8_t>> incoming;
    std::size_t buffer_size;
    int result;
    std::string got;
  };
  const Case cases[] = {
      {"end character arrives", {Bytes("AB\rCD")}, 10, 0, "AB\r"},
      {"end character first", {Bytes("\r")}, 10, 0, "\r"},
      {"silence before it", {Bytes("AB")}, 10, -19, "AB"},
      {"buffer full before it", {Bytes("ABC\r")}, 2, -19, "AB"},
      {"nothing at all", {}, 10, -19, ""},
      {"empty buffer", {Bytes("\r")}, 0, -19, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    port_->incoming = c.incoming;
    std::vector<std::uint8_t> buffer(c.buffer_size);
    std::uint32_t read = 99;
    EXPECT_EQ(control_.ReadData(buffer, read), c.result);
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + read), c.got);
    EXPECT_EQ(control_.Description(), c.result == 0 ? "" : "End character is absent.\nError = -19");
  }
  port_->incoming = {Bytes("AB\r")};
  control_.EndChar = 'B';
  std::vector<std::uint8_t> buffer(10);
  std::uint32_t read = 0;
  EXPECT_EQ(control_.ReadData(buffer, read), 0);
  EXPECT_EQ(read, 2u) << "any byte can end the read";

  port_->read_error = EIO;
  EXPECT_EQ(control_.ReadData(buffer, read), -17);
  EXPECT_EQ(control_.Description(), Described(EIO, "Input/output error") + "\nError = 0x5");
}

TEST_F(PortControl, PlainReadTakesWhatOneCallBrings) {
  OpenWithSession();
  port_->incoming = {Bytes("HELLO"), Bytes("MORE")};
  std::vector<std::uint8_t> buffer(3);
  std::uint32_t read = 0;
  EXPECT_EQ(control_.ReadData(buffer, read), 0);
  EXPECT_EQ(read, 3u);
  EXPECT_EQ(std::string(buffer.begin(), buffer.end()), "HEL");
  port_->incoming.clear();
  EXPECT_EQ(control_.ReadData(buffer, read), 0);
  EXPECT_EQ(read, 0u) << "an empty read is not a failure";
  port_->read_error = EIO;
  EXPECT_EQ(control_.ReadData(buffer, read), -17);
}

TEST_F(PortControl, LineFunctionsPurgesAndErrorClearingReportTheirFailures) {
  OpenWithSession();
  EXPECT_EQ(control_.EscapeCommFunction(kSetBreak), 0);
  EXPECT_EQ(control_.ClearBuffers(kPurgeTxClear), 0);
  EXPECT_EQ(control_.ClearError(), 0);
  EXPECT_EQ(port_->escapes, std::vector<std::uint32_t>{kSetBreak});
  EXPECT_EQ(port_->purges, (std::vector<std::uint32_t>{kPurgeTxClear, kPurgeAll}));

  port_->escape_error = ENOTTY;
  EXPECT_EQ(control_.EscapeCommFunction(kSetDtr), -22);
  port_->purge_error = EIO;
  EXPECT_EQ(control_.ClearBuffers(kPurgeRxClear), -23);
  EXPECT_EQ(control_.ClearError(), -15);
  port_->clear_error = EIO;
  EXPECT_EQ(control_.ClearError(), -14);
  port_->timeouts_error = EIO;
  EXPECT_EQ(control_.SetPortTimeouts(), -5);
}

TEST_F(PortControl, SetTimeoutCopiesTheRecordAndSetPortTimeoutsAppliesIt) {
  ASSERT_EQ(control_.OpenPort(), 0);
  control_.SetTimeout(T1CommTimeouts{kTimeoutMax, 0, 0, 10, 500});
  EXPECT_EQ(control_.Timeout, (T1CommTimeouts{kTimeoutMax, 0, 0, 10, 500}));
  EXPECT_EQ(port_->timeouts, (T1CommTimeouts{0, 0, 1000, 0, 0})) << "not applied until asked";
  EXPECT_EQ(control_.SetPortTimeouts(), 0);
  EXPECT_EQ(port_->timeouts, (T1CommTimeouts{kTimeoutMax, 0, 0, 10, 500}));
}

TEST_F(PortControl, SetNumPortAcceptsComNamesAndDevicePaths) {
  struct Case {
    SystemFamily family;
    const char* name;
    const char* port;  // Port afterwards; it starts as "COM3"
  };
  const Case cases[] = {
      {SystemFamily::Nt, "com12", "COM12"},
      {SystemFamily::Nt, "Com1", "COM1"},
      {SystemFamily::Nt, "COM256", "COM256"},
      {SystemFamily::Nt, "com257", "COM3"},
      {SystemFamily::Nt, "com0", "COM3"},
      {SystemFamily::Nt, "com012", "COM3"},
      {SystemFamily::Nt, "com", "COM3"},
      {SystemFamily::Nt, "com1a", "COM3"},
      {SystemFamily::Nt, "com-1", "COM3"},
      {SystemFamily::Nt, "lpt1", "COM3"},
      {SystemFamily::Nt, "", "COM3"},
      {SystemFamily::Older, "com12", "COM3"},
      {SystemFamily::Older, "com9", "COM9"},
      {SystemFamily::Other, "com1", "COM3"},
      {SystemFamily::Nt, "/dev/ttyUSB0", "/dev/ttyUSB0"},
      {SystemFamily::Older, "/dev/serial/by-id/usb-FTDI_1-if00", "/dev/serial/by-id/usb-FTDI_1-if00"},
      {SystemFamily::Nt, "/dev/../etc/passwd", "COM3"},
      {SystemFamily::Nt, "/dev/./ttyS0", "COM3"},
      {SystemFamily::Nt, "/dev//ttyS0", "COM3"},
      {SystemFamily::Nt, "/dev/ttyS0/", "COM3"},
      {SystemFamily::Nt, "/dev/", "COM3"},
      {SystemFamily::Nt, "/dev/tty\nS0", "COM3"},
      {SystemFamily::Nt, "ttyS0", "COM3"},
      {SystemFamily::Nt, "/tmp/ttyS0", "COM3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    control_.Port = "COM3";
    control_.SetSystemFamily(c.family);
    EXPECT_EQ(control_.SetNumPort(c.name), std::string(c.port) != "COM3");
    EXPECT_EQ(control_.Port, c.port);
  }
  control_.SetSystemFamily(SystemFamily::Nt);
  control_.Port = "COM3";
  ASSERT_EQ(control_.OpenPort(), 0);
  EXPECT_FALSE(control_.SetNumPort("com4")) << "not while the port is open";
  EXPECT_EQ(control_.Port, "COM3");
}

TEST_F(PortControl, DestroyingAnOpenComponentClosesThePortAndRestoresPriority) {
  {
    TPortControl control(FakeOpener(port_), scheduler_);
    ASSERT_EQ(control.OpenPort(), 0);
    ASSERT_EQ(control.StartSession(false), 0);
  }
  EXPECT_EQ(port_->closes, 1);
  EXPECT_EQ(scheduler_->nice, 5);
}

}  // namespace
}  // namespace fjl::port
