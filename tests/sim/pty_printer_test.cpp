#include "sim/lib/pty_printer.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace fjl::sim {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

PrinterModel TinyPrinter() {
  PrinterModel model;
  model.password = "1";
  model.identity.serial_number = "S1";
  return model;
}

const Bytes kRequest = BuildRequestFrame(0x21, 0x42, "1;");

Bytes ExpectedReply() {
  Reply reply;
  reply.seq = 0x21;
  reply.command = 0x42;
  reply.data = "S1;";
  return BuildReplyFrame(reply);
}

// The host end: the slave side, raw, closed on destruction.
class Host {
 public:
  explicit Host(const std::string& path, speed_t speed = B9600)
      : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    if (fd_ < 0) return;
    termios tio{};
    tcgetattr(fd_, &tio);
    cfmakeraw(&tio);
    cfsetspeed(&tio, speed);
    tcsetattr(fd_, TCSANOW, &tio);
  }
  ~Host() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  void Send(const Bytes& b) { ASSERT_EQ(::write(fd_, b.data(), b.size()), static_cast<ssize_t>(b.size())); }

  // Collects bytes until `want` arrived, the line hung up, or `limit` passed.
  Bytes Receive(std::size_t want, std::chrono::milliseconds limit, bool* hung_up = nullptr) {
    Bytes got;
    const auto deadline = Clock::now() + limit;
    while (got.size() < want && Clock::now() < deadline) {
      pollfd p{fd_, POLLIN, 0};
      if (::poll(&p, 1, 20) <= 0) continue;
      std::uint8_t buffer[256];
      const ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0 || (p.revents & POLLHUP)) {
        if (hung_up) *hung_up = true;
        if (n <= 0) break;
      }
      got.insert(got.end(), buffer, buffer + std::max<ssize_t>(n, 0));
    }
    return got;
  }

 private:
  int fd_;
};

TEST(PtyPrinter, AnswersOnTheSlave) {
  Simulator sim(TinyPrinter());
  PtyPrinter printer(sim);
  EXPECT_EQ(printer.SlavePath().rfind("/dev/pts/", 0), 0u) << printer.SlavePath();
  Host host(printer.SlavePath());
  ASSERT_TRUE(host.ok());
  host.Send(kRequest);
  EXPECT_EQ(host.Receive(25, 2s), ExpectedReply());
  EXPECT_TRUE(printer.Serving());
}

TEST(PtyPrinter, CountsTheLinesBytesAndThoseOfItsFlashReads) {
  Simulator sim(TinyPrinter());
  PtyPrinter printer(sim);
  Host host(printer.SlavePath());
  ASSERT_TRUE(host.ok());
  host.Send(kRequest);
  ASSERT_EQ(host.Receive(25, 2s), ExpectedReply());
  EXPECT_EQ(printer.LineBytes(), kRequest.size() + 25);
  EXPECT_EQ(printer.FlashBytes(), 0u);
  EXPECT_EQ(printer.FlashBusyNs(), 0);

  // A flash read of an address outside the printer's flash: an error reply.
  const Bytes flash_request = BuildRequestFrame(0x22, kFlashReadCommand, "1;5;");
  Reply refusal;
  refusal.seq = 0x22;
  refusal.command = kFlashReadCommand;
  refusal.error_code = kErrOutOfRange;
  const Bytes flash_reply = BuildReplyFrame(refusal);
  host.Send(flash_request);
  ASSERT_EQ(host.Receive(flash_reply.size(), 2s), flash_reply);
  EXPECT_EQ(printer.FlashBytes(), flash_request.size() + flash_reply.size());
  EXPECT_EQ(printer.LineBytes(), kRequest.size() + 25 + flash_request.size() + flash_reply.size());
  EXPECT_GT(printer.FlashBusyNs(), 0);
  EXPECT_LE(printer.FlashBusyNs(), printer.LineBusyNs());
}

TEST(PtyPrinter, ServesAHostThatReconnects) {
  Simulator sim(TinyPrinter());
  PtyPrinter printer(sim);
  for (int session = 0; session < 2; ++session) {
    Host host(printer.SlavePath());
    ASSERT_TRUE(host.ok());
    host.Send(kRequest);
    EXPECT_EQ(host.Receive(25, 2s), ExpectedReply()) << session;
  }
}

TEST(PtyPrinter, PacesItsBytesAtTheLineSpeed) {
  Simulator sim(TinyPrinter());
  PtyPrinter printer(sim, PtyPrinterOptions{.baud = 9600});
  Host host(printer.SlavePath());
  const auto start = Clock::now();
  host.Send(kRequest);
  const Bytes reply = host.Receive(25, 2s);
  const auto took = Clock::now() - start;
  EXPECT_EQ(reply, ExpectedReply());
  // 37 bytes (request and reply) of 10 bits at 9600 baud: 38.5 ms.
  EXPECT_GE(took, WireTime(37, 9600) - 1ms);
  EXPECT_LT(took, WireTime(37, 9600) + 200ms);  // loose: shared CI machines
}

// A host at another speed sends the printer noise: no frame, no answer.
// Back at the printer's speed, the next request is answered.
TEST(PtyPrinter, HearsNothingFromAHostAtAnotherSpeed) {
  Simulator sim(TinyPrinter());
  PtyPrinter printer(sim, PtyPrinterOptions{.baud = 9600});
  {
    Host fast(printer.SlavePath(), B115200);
    ASSERT_TRUE(fast.ok());
    fast.Send(kRequest);
    EXPECT_TRUE(fast.Receive(1, 300ms).empty());
  }
  EXPECT_TRUE(sim.Requests().empty());
  Host host(printer.SlavePath(), B9600);
  host.Send(kRequest);
  EXPECT_EQ(host.Receive(25, 2s), ExpectedReply());
}

TEST(PtyPrinter, HangUpClosesTheLine) {
  Simulator sim(TinyPrinter());
  sim.AddFault(ParseFaultRule("hangup:after=1"));
  PtyPrinter printer(sim);
  Host host(printer.SlavePath());
  host.Send(kRequest);
  bool hung_up = false;
  EXPECT_EQ(host.Receive(1000, 2s, &hung_up), ExpectedReply());
  EXPECT_TRUE(hung_up);
  for (int i = 0; i < 100 && printer.Serving(); ++i) std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(printer.Serving());
}

TEST(PtyPrinter, StopInterruptsALongReply) {
  Simulator sim(TinyPrinter());
  sim.AddFault(ParseFaultRule("syn-before:count=100,gap=100"));
  PtyPrinter printer(sim);
  Host host(printer.SlavePath());
  host.Send(kRequest);
  EXPECT_EQ(host.Receive(2, 1s), (Bytes{kSyn, kSyn}));
  const auto start = Clock::now();
  printer.Stop();
  EXPECT_LT(Clock::now() - start, 500ms);
  EXPECT_FALSE(printer.Serving());
  printer.Stop();  // again: nothing happens
}

}  // namespace
}  // namespace fjl::sim
