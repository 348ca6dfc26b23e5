// fjl-printer-sim: a fiscal printer on a pseudo-terminal. Prints the slave
// path on the first line of standard output and answers on it until SIGINT
// or SIGTERM.

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "dump/dump_folder.h"
#include "dump/recorded_printer.h"
#include "fjl_version.h"
#include "link/reply_receiver.h"
#include "sim/lib/fault_plan.h"
#include "sim/lib/pty_printer.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"
#include "tape/flash_image.h"
#include "text/cp1251.h"

namespace {

using fjl::sim::Bytes;

constexpr const char* kUsage =
    "Usage: fjl-printer-sim [options]\n"
    "\n"
    "Opens a new pseudo-terminal, prints its path (e.g. /dev/pts/5) on the first\n"
    "line, and answers on it as a fiscal printer until SIGINT or SIGTERM.\n"
    "Without --tape/--aux it serves a built-in sample journal.\n"
    "\n"
    "Options:\n"
    "  --tape FILE      raw control tape image (flash from 268458935 on)\n"
    "  --aux FILE       raw auxiliary image (flash from 388693 on)\n"
    "  --chunk N        flash bytes per reply, 1..100 (default 100; a reply's data\n"
    "                   part holds at most 207 bytes, so 100 is the most)\n"
    "  --baud N         give every byte its wire time at N baud (default: none,\n"
    "                   a pty passes bytes instantly)\n"
    "  --password TEXT  access password the printer accepts (default 482913)\n"
    "  --fault RULE     misbehave on request; may be repeated (see below)\n"
    "  --link PATH      also make PATH a symlink to the pty (removed on exit)\n"
    "  --dump DIR       be the printer a dump folder of fjl-restore-cli was taken\n"
    "                   from: the bytes its tape.bin and auxiliary.bin stored\n"
    "                   (as its state.txt proves them) and no more, its serial\n"
    "                   number, and its recorded answers (answers.txt) to the\n"
    "                   reads of a restoration; any other read meets silence\n"
    "  --serial TEXT    the serial number the printer reports (default 07104512)\n"
    "  --version        print the version\n"
    "  --count-bytes    on exit, print on standard error the bytes that crossed\n"
    "                   the line (both ways) and the seconds from the first byte\n"
    "                   in to the last byte out, in all and for the flash reads\n"
    "                   alone: \"line bytes: N in S s, flash reads: N in S s\"\n"
    "  --help           this text\n"
    "\n"
    "Letting the program see the port (pseudo-terminals are not listed as serial\n"
    "devices):\n"
    "  FJL_EXTRA_PORTS=/dev/pts/5 fjl-restore\n"
    "  fjl-restore --extra-port /dev/pts/5\n"
    "  fjl-restore-cli --port /dev/pts/5 --output tape.FJL\n"
    "\n";

struct Options {
  std::optional<std::string> tape;
  std::optional<std::string> aux;
  std::size_t chunk = fjl::sim::kMaxFlashChunk;
  std::int64_t baud = 0;
  std::string password = "482913";
  std::vector<fjl::sim::FaultRule> faults;
  std::optional<std::string> link;
  std::optional<std::string> dump;
  std::optional<std::string> serial;
  bool count_bytes = false;
};

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path + ": " + std::strerror(errno));
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

long long ParseNumber(const std::string& option, const std::string& text, long long low, long long high) {
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno != 0 || value < low || value > high) {
    throw std::invalid_argument(option + " wants a number from " + std::to_string(low) + " to " +
                                std::to_string(high));
  }
  return value;
}

// Empty when the program should stop after printing help.
std::optional<Options> ParseArguments(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kUsage << fjl::sim::FaultRuleHelp();
      return std::nullopt;
    }
    if (arg == "--version") {
      std::cout << "fjl-printer-sim " << fjl::kVersion << "\n";
      return std::nullopt;
    }
    if (arg == "--count-bytes") {
      options.count_bytes = true;
      continue;
    }
    if (i + 1 >= argc) throw std::invalid_argument("unknown option or missing value: " + arg);
    const std::string value = argv[++i];
    if (arg == "--tape") {
      options.tape = value;
    } else if (arg == "--aux") {
      options.aux = value;
    } else if (arg == "--chunk") {
      options.chunk = static_cast<std::size_t>(ParseNumber(arg, value, 1, fjl::sim::kMaxFlashChunk));
    } else if (arg == "--baud") {
      options.baud = ParseNumber(arg, value, 1, 10'000'000);
    } else if (arg == "--password") {
      options.password = value;
    } else if (arg == "--fault") {
      options.faults.push_back(fjl::sim::ParseFaultRule(value));
    } else if (arg == "--link") {
      options.link = value;
    } else if (arg == "--dump") {
      options.dump = value;
    } else if (arg == "--serial") {
      options.serial = value;
    } else {
      throw std::invalid_argument("unknown option: " + arg);
    }
  }
  return options;
}

// Replaces a stale symlink of an earlier run; never anything else.
void MakeLink(const std::string& link, const std::string& target) {
  struct stat st {};
  if (lstat(link.c_str(), &st) == 0) {
    if (!S_ISLNK(st.st_mode)) throw std::runtime_error(link + " exists and is not a symlink");
    ::unlink(link.c_str());
  }
  if (::symlink(target.c_str(), link.c_str()) != 0) {
    throw std::runtime_error("cannot create " + link + ": " + std::strerror(errno));
  }
}

void RemoveLink(const std::string& link, const std::string& target) {
  char buf[4096];
  const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
  if (n > 0 && std::string(buf, static_cast<std::size_t>(n)) == target) ::unlink(link.c_str());
}

// A dump folder that is not whole or not one dump: nothing is served.
struct DumpRefused : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// One recorded answer as the printer would give it again: its frame, or the
// failure the live link met (silence, NAK, a broken checksum).
fjl::sim::ScriptedAnswer ScriptedFrom(const fjl::dump::RecordedAnswer& answer) {
  fjl::sim::ScriptedAnswer s;
  s.command = static_cast<std::uint8_t>(answer.command);
  s.data = answer.data;
  fjl::link::DeviceResponse verdict;
  fjl::dump::DecodeRecordedAnswer(answer, verdict);
  if (verdict.NoReply()) {
    s.kind = fjl::sim::ScriptedAnswer::Kind::Silence;
    return s;
  }
  if ((verdict.Status & fjl::link::StatusNak) != 0) {
    s.kind = fjl::sim::ScriptedAnswer::Kind::Nak;
    return s;
  }
  if ((verdict.Status & fjl::link::StatusBadChecksum) != 0) s.kind = fjl::sim::ScriptedAnswer::Kind::BadChecksum;
  fjl::link::ReplyReceiver frame;
  frame.BeginReply();
  for (char c : answer.raw_reply) frame.ReceiveByte(static_cast<std::uint8_t>(c));
  s.error_code = std::string(frame.ErrorCodeText());
  s.reply_data = std::string(frame.DataText());
  std::copy(frame.StatusRaw().begin(), frame.StatusRaw().end(), s.status.begin());
  return s;
}

// The printer a dump folder was taken from, as far as the dump knows it:
// exactly the bytes each download stored (their data end where the dump's
// do), the serial number, and the restoration's recorded answers.
struct Replay {
  Bytes tape;
  Bytes aux;
  std::string serial;
  std::vector<fjl::sim::ScriptedAnswer> scripted;
};

Replay LoadReplay(const std::string& folder) {
  const auto tape = std::make_unique<fjl::tape::TapeImage>();
  const auto aux = std::make_unique<fjl::tape::AuxImage>();
  const fjl::platform::Result<fjl::dump::StoredDump> dump =
      fjl::dump::LoadDump(folder, tape->MutableBytes(), aux->MutableBytes());
  if (!dump) throw DumpRefused(dump.Failure().UserMessage());
  const auto first = [](const fjl::tape::FlashImage& image, std::int64_t stored) {
    const auto bytes = image.Bytes().first(static_cast<std::size_t>(stored));
    return Bytes(bytes.begin(), bytes.end());
  };
  Replay replay{first(*tape, dump->state.tape.stored), first(*aux, dump->state.aux.stored),
                fjl::text::Utf8ToCp1251(dump->state.serial), {}};
  for (const fjl::dump::RecordedAnswer& answer : dump->answers) replay.scripted.push_back(ScriptedFrom(answer));
  return replay;
}

int Run(const Options& options) {
  fjl::sim::SampleJournal sample = fjl::sim::MakeSampleJournal();
  std::optional<Replay> replay;
  if (options.dump) {
    replay = LoadReplay(*options.dump);
    sample.identity = fjl::sim::PrinterIdentity{};
    sample.identity.serial_number = replay->serial;
    sample.tape = std::move(replay->tape);
    sample.aux = std::move(replay->aux);
  }
  Bytes tape = options.tape ? ReadFile(*options.tape) : std::move(sample.tape);
  Bytes aux = options.aux ? ReadFile(*options.aux) : std::move(sample.aux);
  if (options.serial) sample.identity.serial_number = *options.serial;
  fjl::sim::PrinterModel model =
      fjl::sim::MakePrinterModel(std::move(sample.identity), std::move(tape), std::move(aux));
  model.password = options.password;

  fjl::sim::SimulatorOptions sim_options;
  sim_options.chunk_size = options.chunk;
  sim_options.faults = options.faults;
  if (replay) {
    for (fjl::sim::FlashRegion& region : model.flash) region.erased_past_image = false;
    sim_options.scripted = std::move(replay->scripted);
    sim_options.scripted_only = true;
  }
  fjl::sim::Simulator simulator(std::move(model), sim_options);

  // Block the stop signals before the server thread exists, so only sigwait sees them.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGINT);
  sigaddset(&stop_signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);

  fjl::sim::PtyPrinter printer(simulator, fjl::sim::PtyPrinterOptions{options.baud});
  if (options.link) MakeLink(*options.link, printer.SlavePath());
  std::cout << printer.SlavePath() << std::endl;

  int code = 0;
  for (;;) {
    const timespec tick{0, 200'000'000};
    const int sig = sigtimedwait(&stop_signals, nullptr, &tick);
    if (sig == SIGINT || sig == SIGTERM) break;
    if (!printer.Serving()) {
      std::cerr << "fjl-printer-sim: the line was hung up\n";
      code = 3;
      break;
    }
  }
  printer.Stop();
  if (options.count_bytes) {
    std::cerr << "line bytes: " << printer.LineBytes() << " in " << static_cast<double>(printer.LineBusyNs()) / 1e9
              << " s, flash reads: " << printer.FlashBytes() << " in "
              << static_cast<double>(printer.FlashBusyNs()) / 1e9 << " s\n";
  }
  if (options.link) RemoveLink(*options.link, printer.SlavePath());
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::optional<Options> options = ParseArguments(argc, argv);
    if (!options) return 0;
    return Run(*options);
  } catch (const std::invalid_argument& e) {
    std::cerr << "fjl-printer-sim: " << e.what() << "\nTry --help.\n";
    return 2;
  } catch (const DumpRefused& e) {
    std::cerr << "fjl-printer-sim: " << e.what() << "\n";
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "fjl-printer-sim: " << e.what() << "\n";
    return 1;
  }
}
