// The built programs as processes: fjl-restore-cli against fjl-printer-sim,
// both found beside this test program (build/bin).

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "cli_test_support.h"
#include "sim/lib/frames.h"
#include "sim/lib/simulator.h"
#include "support/pty_pair.h"

extern char** environ;

namespace fjl::cli::testing {
namespace {

std::string BinaryPath(const std::string& name) {
  return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

std::vector<char*> Argv(std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  return argv;
}

// Starts `args` with standard output and error going to the given
// descriptors (-1: /dev/null).
pid_t Spawn(std::vector<std::string> args, int out_fd, int err_fd, char** env = environ) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  if (out_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, out_fd, STDOUT_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  }
  if (err_fd >= 0) {
    posix_spawn_file_actions_adddup2(&actions, err_fd, STDERR_FILENO);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  }
  std::vector<char*> argv = Argv(args);
  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), env);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + args[0]);
  return pid;
}

int WaitExit(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// fjl-printer-sim started with `options`; stopped with SIGTERM at the end.
class SimulatorProcess {
 public:
  explicit SimulatorProcess(std::vector<std::string> options) {
    int pipe_fds[2];
    if (::pipe2(pipe_fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
    std::vector<std::string> args{BinaryPath("fjl-printer-sim")};
    args.insert(args.end(), options.begin(), options.end());
    pid_ = Spawn(args, pipe_fds[1], -1);
    ::close(pipe_fds[1]);
    // The pty path is the first line of its output.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    char c = 0;
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd p{pipe_fds[0], POLLIN, 0};
      if (::poll(&p, 1, 100) <= 0) continue;
      if (::read(pipe_fds[0], &c, 1) != 1 || c == '\n') break;
      pty_ += c;
    }
    ::close(pipe_fds[0]);
  }
  ~SimulatorProcess() {
    ::kill(pid_, SIGTERM);
    WaitExit(pid_);
  }
  SimulatorProcess(const SimulatorProcess&) = delete;
  SimulatorProcess& operator=(const SimulatorProcess&) = delete;

  const std::string& Pty() const { return pty_; }

 private:
  pid_t pid_ = -1;
  std::string pty_;
};

struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;
};

ProcessResult RunCliProcess(const ScratchFolder& folder, std::vector<std::string> options,
                            char** env = environ) {
  const std::string out_path = folder / ".stdout";
  const std::string err_path = folder / ".stderr";
  const int out = ::open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  std::vector<std::string> args{BinaryPath("fjl-restore-cli")};
  args.insert(args.end(), options.begin(), options.end());
  const pid_t pid = Spawn(args, out, err, env);
  ::close(out);
  ::close(err);
  ProcessResult r;
  r.status = WaitExit(pid);
  r.out = ReadBytes(out_path);
  r.err = ReadBytes(err_path);
  std::filesystem::remove(out_path);
  std::filesystem::remove(err_path);
  return r;
}

class CliProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every program started from here keeps its downloads in this test's
    // own cache folder, never in the user's.
    ASSERT_EQ(::setenv("XDG_CACHE_HOME", cache_.Path().c_str(), 1), 0);
    // The CLI's own texts in English unless a test asks for another locale.
    Locale("C.UTF-8");
    ASSERT_TRUE(Exists(BinaryPath("fjl-restore-cli"))) << "build the fjl-restore-cli target";
    ASSERT_TRUE(Exists(BinaryPath("fjl-printer-sim"))) << "build the fjl-printer-sim target";
    const SmallJournal journal = MakeSmallJournal();
    WriteBytes(inputs_ / "tape.img", journal.tape);
    WriteBytes(inputs_ / "aux.img", journal.aux);
  }
  std::vector<std::string> JournalOptions(std::vector<std::string> more = {}) {
    std::vector<std::string> o{"--tape", inputs_ / "tape.img", "--aux", inputs_ / "aux.img"};
    o.insert(o.end(), more.begin(), more.end());
    return o;
  }

  void TearDown() override {
    ::unsetenv("XDG_CACHE_HOME");
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) ::unsetenv(variable);
  }
  // The locale the CLI runs under: LC_ALL, LC_MESSAGES and LANG, empty ones unset.
  static void Locale(const std::string& all, const std::string& messages = "", const std::string& lang = "") {
    for (const auto& [variable, value] :
         {std::pair{"LC_ALL", all}, std::pair{"LC_MESSAGES", messages}, std::pair{"LANG", lang}}) {
      if (value.empty()) {
        ::unsetenv(variable);
      } else {
        ::setenv(variable, value.c_str(), 1);
      }
    }
  }
  // The printer's folder among this test's kept downloads.
  std::string Kept() const { return cache_ / "fjl-restore/downloads/07104512"; }

  ScratchFolder inputs_;
  ScratchFolder folder_;
  ScratchFolder cache_;
};

TEST_F(CliProcess, RestoresTheSimulatorsJournalIntoTheHandWorkedFile) {
  SimulatorProcess printer(JournalOptions());
  ASSERT_FALSE(printer.Pty().empty());

  const ProcessResult r = RunCliProcess(folder_, {"--port", printer.Pty(), "--output", folder_ / "tape.FJL"});

  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(folder_ / "tape.FJL"), FjlBytes(SmallJournalLines()));
  // Standard error is a file here: the two messages, each area named, where
  // the file went, the check's line and no progress lines.
  EXPECT_EQ(r.err, TapeDone() + AuxDone() + WrittenLine(folder_ / "tape.FJL") + kSmallJournalCheck);
  EXPECT_TRUE(r.out.empty());
}

// A line lost at the tape's second chunk: the download gives up, keeping the
// first chunk in the user's cache folder, and the command its last line
// gives goes on from there with the next printer on the same port name.
// (A silent printer's five seconds are waited out on the in-process
// channel's clock, in CliTimeout.)
TEST_F(CliProcess, ABrokenDownloadExitsOneAndTheCommandGivenGoesOn) {
  const std::string port = folder_ / "ttyPrinter";
  const std::string output = folder_ / "tape.FJL";
  ProcessResult r;
  {
    SimulatorProcess printer(
        JournalOptions({"--chunk", "50", "--link", port, "--fault", "hangup:cmd=241,every=2,limit=1"}));
    ASSERT_FALSE(printer.Pty().empty());
    r = RunCliProcess(folder_, {"--port", port, "--output", output});
  }

  EXPECT_EQ(r.status, 1);
  const std::string go_on = "fjl-restore-cli --resume auto --port " + port + " --output " + output;
  EXPECT_EQ(r.err,
            "Ошибка! Связь с регистратором потеряна: порт отключен! Чтение данных остановлено.\n"
            "the download so far is kept in " +
                Kept() + "; this command goes on with it:\n" + go_on + "\n");
  EXPECT_FALSE(Exists(output));
  EXPECT_EQ(ReadBytes(Kept() + "/tape.bin").size(), 50u);

  std::vector<std::string> args;
  for (std::size_t at = go_on.find(' ') + 1; at != 0; at = go_on.find(' ', at) + 1) {
    args.push_back(go_on.substr(at, go_on.find(' ', at) - at));
  }
  SimulatorProcess printer(JournalOptions({"--link", port}));
  const ProcessResult resumed = RunCliProcess(folder_, args);
  ASSERT_EQ(resumed.status, 0) << resumed.err;
  EXPECT_EQ(ReadBytes(output), FjlBytes(SmallJournalLines()));
}

// A file that was written but may lack something is not passed off as a
// complete tape: exit status 3 and a closing line that says what is missing.
TEST_F(CliProcess, ExitThreeWhenTheFileMayBeIncomplete) {
  std::vector<std::string> header_only{""};
  for (const std::string& line : SampleHeaderLines()) header_only.push_back(line);
  for (const std::string& line : FooterLines()) header_only.push_back(line);
  std::vector<std::string> without_b = SmallJournalLines();
  std::erase(without_b, "Налог Б, тип=Вложенный, ставка=7.00, название=НДС 7%");
  struct Case {
    const char* fault;
    std::string last_line;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      // The printer says it has only 49 bytes left before the first record.
      {"count-nan:cmd=241,limit=1,text=49",
       "fjl-restore-cli: the FJL file was written, but it may be incomplete: the tape ended without its end marker.",
       header_only},
      {"error:cmd=0x48,every=2,limit=1,code=0204",
       "fjl-restore-cli: the FJL file was written, but it may be incomplete: tax group Б not read.", without_b},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fault);
    SimulatorProcess printer(JournalOptions({"--fault", c.fault}));
    ASSERT_FALSE(printer.Pty().empty());
    const ProcessResult r = RunCliProcess(folder_, {"--port", printer.Pty(), "--output", folder_ / "tape.FJL"});
    EXPECT_EQ(r.status, 3) << r.err;
    ASSERT_GE(r.err.size(), c.last_line.size() + 1);
    EXPECT_EQ(r.err.substr(r.err.size() - c.last_line.size() - 1), c.last_line + "\n");
    EXPECT_EQ(FjlLines(ReadBytes(folder_ / "tape.FJL")), c.lines);
  }
}

// A run killed while the printer was busy leaves its request unanswered;
// the reply comes while the next run waits for its own first one. Here the
// dead run's request (SEQ 0x25, the fifth flash read) is put on the line by
// hand, and the printer takes 300 ms over it.
TEST_F(CliProcess, AReplyLeftInFlightByAKilledRunIsNotTakenByTheNext) {
  SimulatorProcess printer(JournalOptions({"--fault", "delay:limit=1,ms=300"}));
  ASSERT_FALSE(printer.Pty().empty());
  const int dead_run = ::open(printer.Pty().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  ASSERT_GE(dead_run, 0);
  const sim::Bytes request = sim::BuildRequestFrame(0x25, 0xF1, "482913;268459335;");
  ASSERT_EQ(::write(dead_run, request.data(), request.size()), static_cast<ssize_t>(request.size()));
  ::close(dead_run);

  const ProcessResult r = RunCliProcess(folder_, {"--port", printer.Pty(), "--output", folder_ / "tape.FJL"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(folder_ / "tape.FJL"), FjlBytes(SmallJournalLines()));
}

// The printer's message stays Russian in every locale; the reason under it
// is the CLI's own, in the user's language.
TEST_F(CliProcess, APortThatCannotBeOpenedSaysWhy) {
  const std::tuple<std::string, std::string, std::string> cases[] = {
      {"ru_RU.UTF-8", folder_ / "no-such-port",
       "Причина: нет такого устройства (проверьте имя порта и кабель; fjl-restore-cli --list-ports "
       "показывает найденные порты)."},
      {"ru_RU.UTF-8", "/dev/null", "Причина: это не последовательный порт."},
      {"C", folder_ / "no-such-port",
       "Reason: no such device (check the port name and the cable; fjl-restore-cli --list-ports shows the ports "
       "found)."},
      {"en_GB.UTF-8", "/dev/null", "Reason: this is not a serial port."},
  };
  for (const auto& [locale, port, reason] : cases) {
    SCOPED_TRACE(locale + " " + port);
    Locale(locale);
    const ProcessResult r = RunCliProcess(folder_, {"--port", port, "--output", folder_ / "tape.FJL"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Невозможно подключить порт\n" + reason + "\n");
    EXPECT_FALSE(Exists(folder_ / "tape.FJL"));
  }
}

// A customer's dump, served by the simulator as the printer it came from,
// restores into the same file through the real programs.
TEST_F(CliProcess, TheSimulatorPlaysTheDumpsPrinter) {
  const std::string dump = folder_ / "dump";
  {
    SimulatorProcess printer(JournalOptions());
    const ProcessResult r =
        RunCliProcess(folder_, {"--port", printer.Pty(), "--output", folder_ / "live.FJL", "--dump", dump});
    ASSERT_EQ(r.status, 0) << r.err;
  }
  SimulatorProcess replay({"--dump", dump});
  ASSERT_FALSE(replay.Pty().empty());
  const ProcessResult r = RunCliProcess(folder_, {"--port", replay.Pty(), "--output", folder_ / "replayed.FJL"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(ReadBytes(folder_ / "replayed.FJL"), FjlBytes(SmallJournalLines()));
}

// The replayed printer holds what the dump stored and no more: a tape cut
// short ends where the dump's does, and a read it holds no answer for meets
// silence, as with --from-dump; a damaged image is not served at all.
TEST_F(CliProcess, TheSimulatorServesOnlyWhatTheDumpHolds) {
  const std::string dump = folder_ / "dump";
  {
    SimulatorProcess printer(JournalOptions({"--chunk", "50", "--fault", "hangup:cmd=241,every=2,limit=1"}));
    ASSERT_EQ(RunCliProcess(folder_, {"--port", printer.Pty(), "--output", folder_ / "a.FJL", "--dump", dump}).status,
              1);
  }
  const ProcessResult offline = RunCliProcess(folder_, {"--from-dump", dump, "--output", folder_ / "offline.FJL"});
  ProcessResult replayed;
  {
    SimulatorProcess replay({"--dump", dump});
    replayed = RunCliProcess(folder_, {"--port", replay.Pty(), "--output", folder_ / "replayed.FJL"});
  }
  EXPECT_EQ(replayed.status, 1) << replayed.err;
  EXPECT_EQ(offline.status, 1) << offline.err;
  EXPECT_NE(replayed.err.find("без маркера конца ленты"), std::string::npos) << replayed.err;
  EXPECT_FALSE(Exists(folder_ / "replayed.FJL"));

  std::string tape = ReadBytes(dump + "/tape.bin");
  tape[5] = static_cast<char>(tape[5] ^ 1);
  WriteBytes(dump + "/tape.bin", std::vector<std::uint8_t>(tape.begin(), tape.end()));
  const std::string err_path = folder_ / "sim.err";
  const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t pid = Spawn({BinaryPath("fjl-printer-sim"), "--dump", dump}, -1, err);
  ::close(err);
  EXPECT_EQ(WaitExit(pid), 2);
  EXPECT_EQ(ReadBytes(err_path), "fjl-printer-sim: " + dump +
                                     "/tape.bin: dump damaged: the file does not hold the bytes the download stored "
                                     "(their digest differs); start a new dump\n");
}

// A printer set to 19200: --find names its port and speed, and --port auto
// finds it among the listed ports for a restoration.
TEST_F(CliProcess, FindsThePrinterByItself) {
  SimulatorProcess printer(JournalOptions({"--baud", "19200"}));
  ASSERT_FALSE(printer.Pty().empty());
  const ProcessResult found = RunCliProcess(folder_, {"--find", "--port", printer.Pty()});
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_EQ(found.out, printer.Pty() + " / 19200, serial 07104512\n");

  std::vector<std::string> env_text{"FJL_EXTRA_PORTS=" + printer.Pty()};
  std::vector<char*> env = Argv(env_text);
  const ProcessResult r = RunCliProcess(
      folder_, {"--port", "auto", "--speed", "19200", "--output", folder_ / "tape.FJL"}, env.data());
  ASSERT_EQ(r.status, 0) << r.err;
  // After the line of ports passed over, which depends on the machine.
  EXPECT_NE(r.err.find("printer found: " + printer.Pty() + " / 19200, serial 07104512\n"), std::string::npos) << r.err;
  EXPECT_EQ(ReadBytes(folder_ / "tape.FJL"), FjlBytes(SmallJournalLines()));
}

// The one line that went wrong and where the help is, in the language of
// the locale that governs messages; Russian only where the terminal takes UTF-8.
TEST_F(CliProcess, UsageErrorExitsTwoInTheUsersLanguage) {
  const std::string english =
      "fjl-restore-cli: --speed must be one of 110 300 600 1200 2400 4800 9600 19200 38400 57600 115200 or auto, "
      "not '14400'\nsee fjl-restore-cli --help\n";
  const std::string russian =
      "fjl-restore-cli: --speed: одна из скоростей 110 300 600 1200 2400 4800 9600 19200 38400 57600 115200 или "
      "auto, а не '14400'\nсм. fjl-restore-cli --help\n";
  const struct {
    const char* all;
    const char* messages;
    const char* lang;
    const std::string& says;
  } cases[] = {
      {"", "", "ru_RU.UTF-8", russian},
      {"", "", "uk_UA.utf8", russian},
      {"", "", "C", english},
      {"", "", "", english},
      {"", "", "ru_RU.KOI8-R", english},
      {"", "", "ru_RU", english},
      {"", "C", "ru_RU.UTF-8", english},
      {"C", "ru_RU.UTF-8", "ru_RU.UTF-8", english},
      {"ru_RU.UTF-8@euro", "", "C", russian},
      {"", "ru_UA.UTF-8", "en_US.UTF-8", russian},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.all) + "|" + c.messages + "|" + c.lang);
    Locale(c.all, c.messages, c.lang);
    const ProcessResult r = RunCliProcess(folder_, {"--port", "/dev/null", "--speed", "14400", "--output", "x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, c.says);
    EXPECT_TRUE(r.out.empty());
  }
}

TEST_F(CliProcess, ListPortsShowsTheExtraPortsOfTheEnvironment) {
  std::vector<std::string> env_text{"FJL_EXTRA_PORTS=/dev/pts/77:/dev/pts/78"};
  std::vector<char*> env = Argv(env_text);
  const ProcessResult r = RunCliProcess(folder_, {"--list-ports"}, env.data());
  EXPECT_EQ(r.status, 0);
  const std::string tail = "/dev/pts/77\n/dev/pts/78\n";
  ASSERT_GE(r.out.size(), tail.size());
  EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
}

// fjl-restore-cli on a port whose far end this test plays with the
// simulator, answering each request itself, and with standard error on a
// terminal as a user at a console has it. `before_answer` sees the requests
// so far each time one has come in, may act on the program, and answers
// whether the printer replies to it. Returns the raw wait status.
struct ConsoleRun {
  int wait_status = 0;
  std::string err;  // what the terminal showed
};

ConsoleRun RunAgainstPrinter(sim::Simulator& printer, std::vector<std::string> options,
                             const std::function<bool(pid_t, const std::vector<sim::Request>&)>& before_answer) {
  test::PtyPair port;
  test::PtyPair console;
  termios raw = console.SlaveSettings();
  ::cfmakeraw(&raw);
  ::tcsetattr(console.SlaveFd(), TCSANOW, &raw);  // the lines arrive as written

  std::vector<std::string> args{BinaryPath("fjl-restore-cli"), "--port", port.SlavePath()};
  args.insert(args.end(), options.begin(), options.end());
  const pid_t pid = Spawn(args, -1, console.SlaveFd());
  ConsoleRun run;
  std::uint8_t buffer[4096];
  for (;;) {
    pollfd watch[2] = {{port.MasterFd(), POLLIN, 0}, {console.MasterFd(), POLLIN, 0}};
    ::poll(watch, 2, 50);
    if ((watch[1].revents & POLLIN) != 0) {
      const ssize_t n = ::read(console.MasterFd(), buffer, sizeof buffer);
      if (n > 0) run.err.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
    }
    if ((watch[0].revents & POLLIN) != 0) {
      const ssize_t n = ::read(port.MasterFd(), buffer, sizeof buffer);
      if (n > 0) {
        for (const sim::Answer& answer : printer.Receive(std::span(buffer, static_cast<std::size_t>(n)))) {
          if (!before_answer(pid, printer.Requests())) continue;
          for (const sim::Emission& e : answer.emissions) port.DeviceWrite(e.bytes);
        }
      }
    }
    if (::waitpid(pid, &run.wait_status, WNOHANG) == pid) break;
  }
  for (;;) {
    pollfd watch{console.MasterFd(), POLLIN, 0};
    if (::poll(&watch, 1, 0) <= 0 || (watch.revents & POLLIN) == 0) break;
    const ssize_t n = ::read(console.MasterFd(), buffer, sizeof buffer);
    if (n <= 0) break;
    run.err.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
  }
  return run;
}

// The tape then takes flash reads 1 to 3, the auxiliary area 4 and 5.
sim::SimulatorOptions FiftyByteChunks() {
  sim::SimulatorOptions options;
  options.chunk_size = 50;
  return options;
}

std::size_t CountOf(const std::vector<sim::Request>& requests, int command) {
  return static_cast<std::size_t>(
      std::count_if(requests.begin(), requests.end(), [command](const sim::Request& r) { return r.command == command; }));
}

// The signal reaches the program while it waits for the reply to the
// request named; that reply still comes, and no further request goes out:
// the run stops at its next safe point, leaves the earlier file and nothing
// beside it, and exits 128 + the signal's number. The port is free again
// for the next run, which restores the file.
TEST_F(CliProcess, SignalsStopTheRunAtTheNextSafePoint) {
  struct Case {
    const char* when;
    int signal_number;
    std::function<bool(const std::vector<sim::Request>&)> at;
    int status;
    const char* name;
  };
  const Case cases[] = {
      {"tape download", SIGINT, [](const auto& r) { return CountOf(r, 241) == 2; }, 130, "SIGINT"},
      {"auxiliary download", SIGTERM, [](const auto& r) { return CountOf(r, 241) == 4; }, 143, "SIGTERM"},
      {"restoration", SIGHUP, [](const auto& r) { return r.back().command == 0x30; }, 129, "SIGHUP"},
  };
  const std::string output = folder_ / "tape.FJL";
  const std::string earlier = "an earlier FJL file\r\n";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.when);
    sim::Simulator printer(SmallJournalPrinter(), FiftyByteChunks());
    WriteBytes(output, std::vector<std::uint8_t>(earlier.begin(), earlier.end()));
    std::size_t requests_at_signal = 0;
    const ConsoleRun run =
        RunAgainstPrinter(printer, {"--output", output}, [&](pid_t pid, const std::vector<sim::Request>& requests) {
          if (requests_at_signal == 0 && c.at(requests)) {
            requests_at_signal = requests.size();
            ::kill(pid, c.signal_number);
          }
          return true;
        });
    ASSERT_NE(requests_at_signal, 0u);
    ASSERT_TRUE(WIFEXITED(run.wait_status)) << run.err;
    EXPECT_EQ(WEXITSTATUS(run.wait_status), c.status);
    EXPECT_EQ(printer.Requests().size(), requests_at_signal);
    // The stop, where the download is kept, and the command that goes on.
    const std::string stop_line = std::string("Stopped (") + c.name + "): " + output + " not written.\n";
    const std::string kept_line = "the download so far is kept in " + Kept() + "; this command goes on with it:\n";
    const std::size_t at = run.err.rfind(stop_line);
    ASSERT_NE(at, std::string::npos) << run.err;
    const std::string tail = run.err.substr(at + stop_line.size());
    EXPECT_TRUE(tail.starts_with(kept_line + "fjl-restore-cli --resume auto --port /dev/pts/")) << tail;
    EXPECT_TRUE(tail.ends_with(" --output " + output + "\n")) << tail;
    EXPECT_EQ(std::count(tail.begin(), tail.end(), '\n'), 2);
    EXPECT_EQ(ReadBytes(output), earlier);
    EXPECT_EQ(folder_.Names(), std::vector<std::string>{"tape.FJL"});
  }

  // The port is free, and the download kept by the last stop goes on.
  sim::Simulator printer(SmallJournalPrinter(), FiftyByteChunks());
  const ConsoleRun again =
      RunAgainstPrinter(printer, {"--resume", "auto", "--output", output}, [](pid_t, const auto&) { return true; });
  ASSERT_TRUE(WIFEXITED(again.wait_status));
  EXPECT_EQ(WEXITSTATUS(again.wait_status), 0) << again.err;
  EXPECT_EQ(ReadBytes(output), FjlBytes(SmallJournalLines()));
}

// A user who will not wait for the reply: a second signal ends the program
// at once, the default way. The reply is never sent, so without the second
// signal the wait would run to its time-out and the run end with status 130.
TEST_F(CliProcess, ASecondSignalEndsTheProgramAtOnce) {
  sim::Simulator printer(SmallJournalPrinter(), FiftyByteChunks());
  const ConsoleRun run = RunAgainstPrinter(
      printer, {"--output", folder_ / "tape.FJL"}, [](pid_t pid, const std::vector<sim::Request>& requests) {
        if (requests.size() != 2) return true;
        ::kill(pid, SIGINT);
        ::kill(pid, SIGTERM);
        return false;
      });
  ASSERT_TRUE(WIFSIGNALED(run.wait_status)) << run.err;
  EXPECT_EQ(WTERMSIG(run.wait_status), SIGTERM);
  EXPECT_FALSE(Exists(folder_ / "tape.FJL"));
  EXPECT_EQ(printer.Requests().size(), 2u);
}

// An ordinary user's read-only FJL file is refused before the port is
// opened, as a shell's ">" would refuse it (root may write it: see the
// save's own tests).
TEST_F(CliProcess, ReadOnlyOutputFileIsRefusedForAnOrdinaryUser) {
  const std::string output = folder_ / "tape.FJL";
  WriteBytes(output, std::vector<std::uint8_t>{'o', 'l', 'd'});
  ASSERT_EQ(::chmod(output.c_str(), 0444), 0);
  ASSERT_EQ(::chmod(folder_.Path().c_str(), 0777), 0);
  const std::string missing_port = folder_ / "no-such-port";
  const std::string cli = BinaryPath("fjl-restore-cli");
  const std::string err_path = folder_ / ".stderr";

  const uid_t ordinary = ::geteuid() == 0 ? 65534 : ::geteuid();
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int err = ::open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (err < 0 || ::dup2(err, STDERR_FILENO) < 0) ::_exit(90);
    if (ordinary != ::geteuid() && (::setgid(ordinary) != 0 || ::setuid(ordinary) != 0)) ::_exit(91);
    ::execl(cli.c_str(), cli.c_str(), "--port", missing_port.c_str(), "--output", output.c_str(), nullptr);
    ::_exit(92);
  }
  const int status = WaitExit(pid);
  ASSERT_LT(status, 90) << "could not run as user " << ordinary;
  EXPECT_EQ(status, 2);
  EXPECT_EQ(ReadBytes(err_path), output + ": Нет прав доступа\n");
  EXPECT_EQ(ReadBytes(output), "old");
}

}  // namespace
}  // namespace fjl::cli::testing
