// The component over a pseudo-terminal, with the real POSIX port underneath.

#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <termios.h>

#include <chrono>
#include <thread>

#include "port/port_control.h"
#include "serial/posix/tty_kernel.h"
#include "support/pty_pair.h"

namespace fjl::port {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

// The session raise fails without privileges; these tests are about the
// port, so they use a scheduler that changes nothing.
class NoopScheduler : public SessionScheduler {
 public:
  SystemResult GetProcessPriority(int& nice) override {
    nice = 0;
    return 0;
  }
  SystemResult SetProcessPriority(int) override { return 0; }
  SystemResult GetThreadSchedule(ThreadSchedule& schedule) override {
    schedule = {};
    return 0;
  }
  SystemResult SetThreadSchedule(const ThreadSchedule&) override { return 0; }
  int SessionNice() const override { return 0; }
  ThreadSchedule SessionSchedule() const override { return {}; }
};

class PortOverPty : public ::testing::Test {
 protected:
  PortOverPty() : control_(OpenSystemPortIo, std::make_shared<NoopScheduler>()) {
    control_.Port = pty_.SlavePath();
    control_.EnableDescr = true;
    control_.Timeout.ReadTotalTimeoutConstant = 100;
  }
  test::PtyPair pty_;
  TPortControl control_;
};

TEST_F(PortOverPty, LineSettingsReachTheTty) {
  struct Case {
    speed rate;
    stopbits stop;
    std::uint32_t bits_per_second;
    tcflag_t cflags;
  };
  // Rates termios has no constant for go through the arbitrary-rate interface.
  const Case cases[] = {
      {speed::S009600, stopbits::ONE, 9600, CS8},     {speed::S256000, stopbits::ONE, 256000, CS8},
      {speed::S011400, stopbits::TWO, 11400, CS8 | CSTOPB}, {speed::S056000, stopbits::ONE, 56000, CS8},
      {speed::S128000, stopbits::ONE, 128000, CS8},   {speed::S000110, stopbits::TWO, 110, CS8 | CSTOPB},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bits_per_second);
    control_.BaudRate = c.rate;
    control_.StopBits = c.stop;
    ASSERT_EQ(control_.OpenPort(), 0) << control_.Description();
    const termios s = pty_.SlaveSettings();
    EXPECT_EQ(s.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.cflags);
    EXPECT_EQ(s.c_lflag & (ICANON | ECHO), 0u) << "raw, as a COM port";
    std::uint32_t rate = 0;
    ASSERT_TRUE(serial::ReadLineSpeed(pty_.SlaveFd(), rate).Ok());
    EXPECT_EQ(rate, c.bits_per_second);
    ASSERT_EQ(control_.ClosePort(), 0);
  }
}

TEST_F(PortOverPty, SettingsTheDriverDropsAreRefused) {
  // The pseudo-terminal driver forces eight bits without parity; the
  // component must notice rather than report a port it did not set up.
  struct Case {
    databit bits;
    parity mode;
  };
  for (const Case c : {Case{databit::Bits7, parity::EVEN}, Case{databit::Bits8, parity::MARK},
                       Case{databit::Bits6, parity::NO}, Case{databit::Bits8, parity::ODD}}) {
    control_.DataBits = c.bits;
    control_.Parity = c.mode;
    EXPECT_EQ(control_.OpenPort(), -4);
    EXPECT_EQ(control_.Description(), "Invalid argument\nError = 0x16");
    EXPECT_FALSE(control_.IsOpen());
  }
}

TEST_F(PortOverPty, StopBitCombinationsTheUartCannotSendAreRefused) {
  for (auto [bits, stop] : {std::pair{databit::Bits8, stopbits::ONE5}, std::pair{databit::Bits5, stopbits::TWO}}) {
    control_.DataBits = bits;
    control_.StopBits = stop;
    EXPECT_EQ(control_.OpenPort(), -4);
    EXPECT_EQ(control_.Description(), "Invalid argument\nError = 0x16");
    EXPECT_FALSE(control_.IsOpen());
  }
  control_.DataBits = databit::Bits8;
  control_.StopBits = stopbits::ONE;
  EXPECT_EQ(control_.OpenPort(), 0) << "the refused attempts released the port";
}

TEST_F(PortOverPty, MissingDeviceAndBusyDevice) {
  control_.Port = "/dev/no-such-tty";
  EXPECT_EQ(control_.OpenPort(), -2);
  EXPECT_EQ(control_.Description(), "No such file or directory\nError = 0x2");

  control_.Port = pty_.SlavePath();
  TPortControl other(OpenSystemPortIo, std::make_shared<NoopScheduler>());
  other.Port = pty_.SlavePath();
  ASSERT_EQ(other.OpenPort(), 0);
  EXPECT_EQ(control_.OpenPort(), -2);
  EXPECT_EQ(control_.LastError(), static_cast<std::uint32_t>(EBUSY));
}

TEST_F(PortOverPty, SecondOpenKeepsTheFirstHandleWorking) {
  ASSERT_EQ(control_.OpenPort(), 0);
  EXPECT_EQ(control_.OpenPort(), -20);
  EXPECT_EQ(control_.Description(), "Port was opened!\nError = -20");
  ASSERT_EQ(control_.StartSession(true), 0);
  std::uint32_t written = 0;
  EXPECT_EQ(control_.WriteData(Bytes("ping"), written), 0);
  EXPECT_EQ(pty_.DeviceRead(4), Bytes("ping"));
}

TEST_F(PortOverPty, ReadWithoutSessionIsRefused) {
  ASSERT_EQ(control_.OpenPort(), 0);
  ASSERT_TRUE(pty_.DeviceWrite("data"));
  std::vector<std::uint8_t> buffer(8);
  std::uint32_t read = 0;
  EXPECT_EQ(control_.ReadData(buffer, read), -21);
  EXPECT_EQ(control_.Description(), "Session was not opened!!\nError = -21");
  EXPECT_EQ(read, 0u);
}

TEST_F(PortOverPty, WritesReachTheDeviceBothWays) {
  ASSERT_EQ(control_.OpenPort(), 0);
  ASSERT_EQ(control_.StartSession(true), 0);
  const auto frame = Bytes("\x01\x24\x21\x21\x05\x30\x30\x36\x3B\x03\r\n\x11\x13");
  std::uint32_t written = 0;
  EXPECT_EQ(control_.WriteData(frame, written), 0);
  EXPECT_EQ(written, frame.size());
  EXPECT_EQ(pty_.DeviceRead(frame.size()), frame);
  control_.Buffering = true;
  EXPECT_EQ(control_.WriteData(frame, written), 0);
  EXPECT_EQ(pty_.DeviceRead(frame.size()), frame);
}

TEST_F(PortOverPty, EndCharacterReads) {
  ASSERT_EQ(control_.OpenPort(), 0);
  ASSERT_EQ(control_.StartSession(true), 0);
  control_.WaitEndChar = true;
  control_.EndChar = '\x03';
  ASSERT_TRUE(pty_.DeviceWrite("AB\x03" "C"));
  std::vector<std::uint8_t> buffer(16);
  std::uint32_t read = 0;
  EXPECT_EQ(control_.ReadData(buffer, read), 0);
  EXPECT_EQ(read, 3u);
  EXPECT_EQ(buffer[2], 0x03);

  // "C" is left; then silence for the read time-out.
  const auto start = Clock::now();
  EXPECT_EQ(control_.ReadData(buffer, read), -19);
  const auto took = Clock::now() - start;
  EXPECT_EQ(read, 1u);
  EXPECT_EQ(buffer[0], 'C');
  EXPECT_EQ(control_.Description(), "End character is absent.\nError = -19");
  EXPECT_GE(took, milliseconds(90));
  EXPECT_LT(took, milliseconds(600));
}

TEST_F(PortOverPty, ReadTimeoutsFollowTheRecord) {
  ASSERT_EQ(control_.OpenPort(), 0);
  ASSERT_EQ(control_.StartSession(true), 0);
  std::vector<std::uint8_t> buffer(10);
  std::uint32_t read = 0;
  auto timed_read = [&] {
    const auto start = Clock::now();
    EXPECT_EQ(control_.ReadData(buffer, read), 0);
    return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
  };

  control_.SetTimeout({kTimeoutMax, 0, 0, 0, 0});  // only what is already there
  ASSERT_EQ(control_.SetPortTimeouts(), 0);
  EXPECT_LT(timed_read(), milliseconds(50));
  EXPECT_EQ(read, 0u);

  control_.SetTimeout({0, 0, 150, 0, 0});  // total time-out
  ASSERT_EQ(control_.SetPortTimeouts(), 0);
  const auto total = timed_read();
  EXPECT_GE(total, milliseconds(140));
  EXPECT_LT(total, milliseconds(600));

  ASSERT_TRUE(pty_.DeviceWrite("ABC"));
  EXPECT_LT(timed_read(), milliseconds(400)) << "less than the buffer, so it waits out the total";
  EXPECT_EQ(read, 3u);

  control_.SetTimeout({30, 0, 0, 0, 0});  // interval only: silence after the first bytes ends it
  ASSERT_EQ(control_.SetPortTimeouts(), 0);
  ASSERT_TRUE(pty_.DeviceWrite("XY"));
  const auto interval = timed_read();
  EXPECT_EQ(read, 2u);
  EXPECT_LT(interval, milliseconds(400));

  ASSERT_TRUE(pty_.DeviceWrite("0123456789abc"));
  ASSERT_TRUE(pty_.WaitSlaveHolds(13));
  control_.SetTimeout({0, 0, 1000, 0, 0});
  ASSERT_EQ(control_.SetPortTimeouts(), 0);
  EXPECT_LT(timed_read(), milliseconds(500)) << "a full buffer ends the read at once";
  EXPECT_EQ(read, 10u);
}

TEST_F(PortOverPty, LineFunctionsAndPurges) {
  ASSERT_EQ(control_.OpenPort(), 0);
  ASSERT_EQ(control_.StartSession(true), 0);
  // A pseudo-terminal has no modem lines.
  EXPECT_EQ(control_.EscapeCommFunction(kSetDtr), -22);
  EXPECT_EQ(control_.EscapeCommFunction(kClrRts), -22);
  EXPECT_EQ(control_.EscapeCommFunction(42), -22);
  EXPECT_EQ(control_.Description(), "Invalid argument\nError = 0x16");
  EXPECT_EQ(control_.ClearBuffers(0x100), -23);

  ASSERT_TRUE(pty_.DeviceWrite("stale"));
  ASSERT_TRUE(pty_.WaitSlaveHolds(5));
  EXPECT_EQ(control_.ClearBuffers(kPurgeRxAbort | kPurgeRxClear), 0);
  std::vector<std::uint8_t> buffer(8);
  std::uint32_t read = 0;
  EXPECT_EQ(control_.ReadData(buffer, read), 0);
  EXPECT_EQ(read, 0u);
  EXPECT_EQ(control_.ClearError(), 0);
}

TEST_F(PortOverPty, VanishedDeviceAnswersResultCodesWithoutBlocking) {
  ASSERT_EQ(control_.OpenPort(), 0);
  ASSERT_EQ(control_.StartSession(false), 0);
  pty_.CloseMaster();
  const auto start = Clock::now();
  std::vector<std::uint8_t> buffer(8);
  std::uint32_t count = 0;
  EXPECT_EQ(control_.ReadData(buffer, count), -17);
  control_.WaitEndChar = true;
  EXPECT_EQ(control_.ReadData(buffer, count), -17);
  EXPECT_EQ(control_.WriteData(Bytes("x"), count), -18);
  EXPECT_EQ(control_.ClearError(), -14);
  EXPECT_EQ(control_.EndSession(true), -15);
  EXPECT_LT(Clock::now() - start, milliseconds(500));
  control_.ClosePort();
  EXPECT_FALSE(control_.IsOpen());
}

TEST(PortSessionPriority, SystemSchedulerRaisesOrRefusesAndAlwaysRestores) {
  test::PtyPair pty;
  TPortControl control;
  control.Port = pty.SlavePath();
  ASSERT_EQ(control.OpenPort(), 0);
  errno = 0;
  const int nice_before = getpriority(PRIO_PROCESS, 0);
  int policy_before = 0;
  sched_param param_before{};
  pthread_getschedparam(pthread_self(), &policy_before, &param_before);

  const int result = control.StartSession(false);
  if (result == 0) {
    int policy = 0;
    sched_param param{};
    pthread_getschedparam(pthread_self(), &policy, &param);
    EXPECT_EQ(policy, SCHED_FIFO);
    EXPECT_EQ(control.EndSession(false), 0);
  } else {
    // Without the privilege the raise is refused and nothing is left changed.
    EXPECT_TRUE(result == -9 || result == -11) << result;
    EXPECT_FALSE(control.InSession());
  }
  int policy_after = 0;
  sched_param param_after{};
  pthread_getschedparam(pthread_self(), &policy_after, &param_after);
  EXPECT_EQ(getpriority(PRIO_PROCESS, 0), nice_before);
  EXPECT_EQ(policy_after, policy_before);
  EXPECT_EQ(param_after.sched_priority, param_before.sched_priority);
}

}  // namespace
}  // namespace fjl::port
