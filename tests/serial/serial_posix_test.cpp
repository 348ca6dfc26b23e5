#include "serial/posix/serial_posix.h"

#include "serial/posix/tty_kernel.h"

#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

#include "support/pty_pair.h"

namespace fjl::serial {
namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// The channel, or null when it would not open.
std::unique_ptr<SerialChannel> Open(const std::string& path, std::int32_t speed) {
  OpenedChannel opened = OpenPosixSerialChannel(path, speed);
  return opened ? std::move(opened).Value() : nullptr;
}

std::size_t Count(const ReadResult& r) { return r ? *r : 0; }
bool HungUp(const ReadResult& r) { return !r && r.Failure().Gone(); }

milliseconds Since(Clock::time_point start) {
  return std::chrono::duration_cast<milliseconds>(Clock::now() - start);
}

TEST(PosixSerialChannel, AppliesRawEightNoneOneAtTheChosenSpeed) {
  struct Case {
    std::int32_t speed;
    speed_t constant;
  };
  const Case cases[] = {{110, B110}, {9600, B9600}, {57600, B57600}, {115200, B115200}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.speed);
    test::PtyPair pty;
    // Start from the cooked defaults a fresh tty has, plus hardware flow
    // control, which must survive the opening.
    termios cooked = pty.SlaveSettings();
    cooked.c_iflag |= ICRNL | IXON;
    cooked.c_oflag |= OPOST | ONLCR;
    cooked.c_lflag |= ICANON | ECHO | ISIG;
    cooked.c_cflag = (cooked.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS;
    ASSERT_EQ(tcsetattr(pty.SlaveFd(), TCSANOW, &cooked), 0);

    auto channel = Open(pty.SlavePath(), c.speed);
    ASSERT_NE(channel, nullptr) << errno;
    const termios s = pty.SlaveSettings();
    EXPECT_EQ(s.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(s.c_cflag & (PARENB | CSTOPB), 0u);
    EXPECT_NE(s.c_cflag & CRTSCTS, 0u) << "hardware flow control is the port's own";
    EXPECT_NE(s.c_cflag & CREAD, 0u);
    EXPECT_EQ(s.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(s.c_iflag & (ICRNL | INLCR | IGNCR | IXON), 0u);
    EXPECT_EQ(s.c_oflag & OPOST, 0u);
    EXPECT_EQ(cfgetospeed(&s), c.constant);
    EXPECT_EQ(cfgetispeed(&s), c.constant);
    EXPECT_GE(channel->Handle(), 0);
  }
}

// Closing gives the port back as it was found: its own settings (a user's
// terminal stays usable) and no exclusive claim left on it.
TEST(PosixSerialChannel, ClosingRestoresTheSettingsAndReleasesThePort) {
  test::PtyPair pty;
  termios cooked = pty.SlaveSettings();
  cooked.c_lflag |= ICANON | ECHO | ISIG;
  cooked.c_iflag |= ICRNL | IXON;
  cfsetispeed(&cooked, B4800);
  cfsetospeed(&cooked, B4800);
  ASSERT_EQ(tcsetattr(pty.SlaveFd(), TCSANOW, &cooked), 0);

  auto channel = Open(pty.SlavePath(), 115200);
  ASSERT_NE(channel, nullptr) << errno;
  ASSERT_EQ(pty.SlaveSettings().c_lflag & ICANON, 0u);
  ASSERT_TRUE(channel->Close());

  const termios after = pty.SlaveSettings();
  EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ISIG), static_cast<tcflag_t>(ICANON | ECHO | ISIG));
  EXPECT_EQ(after.c_iflag & (ICRNL | IXON), static_cast<tcflag_t>(ICRNL | IXON));
  EXPECT_EQ(cfgetospeed(&after), static_cast<speed_t>(B4800));
  // TIOCGEXCL says whether the exclusive flag is still set.
  int exclusive = -1;
  ASSERT_EQ(ioctl(pty.SlaveFd(), TIOCGEXCL, &exclusive), 0);
  EXPECT_EQ(exclusive, 0);
  EXPECT_NE(Open(pty.SlavePath(), 9600), nullptr);
}

TEST(PosixSerialChannel, SpeedsWithoutATermiosConstantUseTheArbitraryRate) {
  test::PtyPair pty;
  auto channel = Open(pty.SlavePath(), 256000);
  ASSERT_NE(channel, nullptr) << errno;
  std::uint32_t rate = 0;
  ASSERT_TRUE(ReadLineSpeed(pty.SlaveFd(), rate).Ok());
  EXPECT_EQ(rate, 256000u);
}

TEST(PosixSerialChannel, BinaryBytesTravelUntouchedBothWays) {
  test::PtyPair pty;
  auto channel = Open(pty.SlavePath(), 9600);
  ASSERT_NE(channel, nullptr);
  // CR, LF, XON, XOFF, ^C and 0xFF: any line discipline would eat or change one.
  const std::vector<std::uint8_t> tricky = {0x0D, 0x0A, 0x11, 0x13, 0x03, 0x00, 0xFF, 0x7F};
  ASSERT_TRUE(channel->Write(tricky));
  EXPECT_EQ(pty.DeviceRead(tricky.size()), tricky);

  ASSERT_TRUE(pty.DeviceWrite(tricky));
  std::vector<std::uint8_t> got;
  const auto start = Clock::now();
  while (got.size() < tricky.size() && Since(start) < milliseconds(2000)) {
    std::uint8_t buffer[16];
    const ReadResult r = channel->Read(buffer);
    ASSERT_TRUE(r.Ok());
    ASSERT_FALSE(HungUp(r));
    got.insert(got.end(), buffer, buffer + Count(r));
  }
  EXPECT_EQ(got, tricky);
}

TEST(PosixSerialChannel, ReadReturnsEverythingAlreadyWaiting) {
  test::PtyPair pty;
  auto channel = Open(pty.SlavePath(), 9600);
  ASSERT_NE(channel, nullptr);
  ASSERT_TRUE(pty.DeviceWrite("ABCDEF"));
  ASSERT_TRUE(pty.WaitSlaveHolds(6));
  std::uint8_t buffer[4];
  ReadResult r = channel->Read(buffer);
  EXPECT_EQ(Count(r), 4u) << "a read fills the buffer from what is waiting";
  r = channel->Read(buffer);
  EXPECT_EQ(Count(r), 2u);
  EXPECT_EQ(buffer[0], 'E');
  EXPECT_EQ(buffer[1], 'F');
}

TEST(PosixSerialChannel, SecondOpenOfTheSamePortIsRefused) {
  test::PtyPair pty;
  auto first = Open(pty.SlavePath(), 9600);
  ASSERT_NE(first, nullptr);
  const OpenedChannel second = OpenPosixSerialChannel(pty.SlavePath(), 9600);
  ASSERT_FALSE(second);
  EXPECT_EQ(second.Failure().Kind(), platform::ErrorKind::Busy);
  // Once released, the port opens again.
  EXPECT_TRUE(first->Close());
  auto third = Open(pty.SlavePath(), 9600);
  EXPECT_NE(third, nullptr);
}

TEST(PosixSerialChannel, MissingPortAndNonTerminalFailToOpen) {
  test::PtyPair pty;
  const std::pair<OpenedChannel, platform::ErrorKind> cases[] = {
      {OpenPosixSerialChannel("/dev/no-such-port-here", 9600), platform::ErrorKind::NotFound},
      {OpenPosixSerialChannel("/dev/null", 9600), platform::ErrorKind::NotATerminal},
      {OpenPosixSerialChannel(pty.SlavePath(), 0), platform::ErrorKind::InvalidArgument},
      {OpenPosixSerialChannel(pty.SlavePath(), -9600), platform::ErrorKind::InvalidArgument},
  };
  for (const auto& [opened, kind] : cases) {
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.Failure().Kind(), kind);
    EXPECT_FALSE(opened.Failure().Text().empty());
  }
}

// An adapter pulled while the port sat idle is first met by whatever call
// comes next: every one of them must say the device is gone, or the link
// would keep the dead descriptor.
TEST(PosixSerialChannel, EveryCallOnAVanishedDeviceSaysItIsGone) {
  test::PtyPair pty;
  auto channel = Open(pty.SlavePath(), 9600);
  ASSERT_NE(channel, nullptr);
  pty.CloseSlave();
  pty.CloseMaster();
  EXPECT_TRUE(channel->Drain().Gone());
  EXPECT_TRUE(channel->Purge(PurgeDirection::Both).Gone());
  const std::vector<std::uint8_t> request = {0x01, 0x02};
  EXPECT_TRUE(channel->Write(request).Gone());
  std::uint8_t buffer[8];
  EXPECT_TRUE(HungUp(channel->Read(buffer)));
}

TEST(PosixSerialChannel, EmptyReadWaitsAboutOneHundredMilliseconds) {
  test::PtyPair pty;
  auto channel = Open(pty.SlavePath(), 9600);
  ASSERT_NE(channel, nullptr);
  std::uint8_t buffer[8];
  const auto start = Clock::now();
  const ReadResult r = channel->Read(buffer);
  const auto took = Since(start);
  EXPECT_EQ(Count(r), 0u);
  EXPECT_TRUE(r.Ok());
  EXPECT_FALSE(HungUp(r));
  EXPECT_GE(took, milliseconds(95));
  EXPECT_LT(took, milliseconds(400));
}

TEST(PosixSerialChannel, OpeningAndPurgingDiscardWaitingBytes) {
  test::PtyPair pty;
  // Bytes queued before the port opens belong to an earlier conversation
  // (the line end makes them readable while the fresh tty is still cooked).
  ASSERT_TRUE(pty.DeviceWrite("stale\n"));
  ASSERT_TRUE(pty.WaitSlaveHolds(6));
  auto channel = Open(pty.SlavePath(), 9600);
  ASSERT_NE(channel, nullptr);
  std::uint8_t buffer[16];
  EXPECT_EQ(Count(channel->Read(buffer)), 0u);

  ASSERT_TRUE(pty.DeviceWrite("noise"));
  ASSERT_TRUE(pty.WaitSlaveHolds(5));
  channel->Purge(PurgeDirection::Input);
  EXPECT_EQ(Count(channel->Read(buffer)), 0u);

  ASSERT_TRUE(pty.DeviceWrite("Z"));
  const ReadResult r = channel->Read(buffer);
  ASSERT_EQ(Count(r), 1u);
  EXPECT_EQ(buffer[0], 'Z');
}

TEST(PosixSerialChannel, ReadAfterTheDeviceWentAwayReportsHangupWithoutSpinning) {
  test::PtyPair pty;
  auto channel = Open(pty.SlavePath(), 9600);
  ASSERT_NE(channel, nullptr);
  pty.CloseMaster();
  std::uint8_t buffer[8];
  int hangups = 0;
  const auto start = Clock::now();
  for (int i = 0; i < 3; ++i) {
    const ReadResult r = channel->Read(buffer);
    EXPECT_EQ(Count(r), 0u);
    if (HungUp(r)) ++hangups;
  }
  const auto took = Since(start);
  EXPECT_EQ(hangups, 3);
  // Three reads of a dead port: neither a hang nor a busy loop.
  EXPECT_GE(took, milliseconds(280));
  EXPECT_LT(took, milliseconds(1500));
  EXPECT_FALSE(channel->Write(std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(PosixSerialChannel, CloseIsFinalAndLaterCallsFailQuietly) {
  test::PtyPair pty;
  auto channel = Open(pty.SlavePath(), 9600);
  ASSERT_NE(channel, nullptr);
  channel->Drain();
  EXPECT_TRUE(channel->Close());
  EXPECT_EQ(channel->Handle(), -1);
  EXPECT_FALSE(channel->Close());
  EXPECT_FALSE(channel->Write(std::vector<std::uint8_t>{1}));
  std::uint8_t buffer[4];
  const ReadResult r = channel->Read(buffer);
  EXPECT_EQ(Count(r), 0u);
  EXPECT_FALSE(r.Ok());
  channel->Purge(PurgeDirection::Both);
  channel->Drain();
}

}  // namespace
}  // namespace fjl::serial
