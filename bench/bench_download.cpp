// The full sample download as the wizard runs it, tape then auxiliary area,
// through DeviceLink and the real POSIX channel, against the simulated
// printer on a pseudo-terminal that gives every byte its wire time. The
// ratio is the download's time over the wire time of every byte that went
// each way (10 bits a byte): what the program adds on top of the line.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench_summary.h"
#include "link/device_link.h"
#include "link/read_commands.h"
#include "serial/posix/serial_posix.h"
#include "sim/lib/emission.h"
#include "sim/lib/pty_printer.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"
#include "tape/aux_download.h"
#include "tape/tape_download.h"

namespace {

using namespace fjl;

struct ByteCounts {
  std::size_t sent = 0;
  std::size_t received = 0;
};

// The port, with a count of the bytes that pass each way.
class CountingChannel final : public serial::SerialChannel {
 public:
  CountingChannel(std::unique_ptr<serial::SerialChannel> port, ByteCounts& counts)
      : port_(std::move(port)), counts_(counts) {}
  serial::ReadResult Read(std::span<std::uint8_t> buffer) override {
    const serial::ReadResult r = port_->Read(buffer);
    if (r) counts_.received += *r;
    return r;
  }
  platform::SystemResult Write(std::span<const std::uint8_t> bytes) override {
    counts_.sent += bytes.size();
    return port_->Write(bytes);
  }
  platform::SystemResult Drain() override { return port_->Drain(); }
  platform::SystemResult Purge(serial::PurgeDirection direction) override { return port_->Purge(direction); }
  bool Close() override { return port_->Close(); }
  int Handle() const override { return port_->Handle(); }

 private:
  std::unique_ptr<serial::SerialChannel> port_;
  ByteCounts& counts_;
};

class QuietCounters final : public tape::RecordCounterView {
 public:
  std::string CounterText(std::size_t box) const override { return texts[box]; }
  void SetCounterText(std::size_t box, std::string_view text) override { texts[box] = std::string(text); }
  std::string texts[32];
};

class QuietBoxes final : public tape::DownloadView {
 public:
  void SetResult(std::string_view) override {}
  void SetStatus(std::string_view) override {}
};

class LastMessage final : public MessageSink {
 public:
  void ShowMessage(std::string_view text) override { last = text; }
  void ShowError(std::string_view text) override { last = text; }
  std::string last;
};

void BM_FullSampleDownload(benchmark::State& state) {
  const auto baud = static_cast<std::int32_t>(state.range(0));
  sim::Simulator simulator(sim::SamplePrinterModel());
  sim::PtyPrinter printer(simulator, sim::PtyPrinterOptions{.baud = baud});
  ByteCounts counts;
  link::DeviceLink link([&counts](const std::string& port, std::int32_t speed) -> serial::OpenedChannel {
    serial::OpenedChannel channel = serial::OpenPosixSerialChannel(port, speed);
    if (!channel) return channel;
    return std::make_unique<CountingChannel>(std::move(channel).Value(), counts);
  });
  if (link.OpenLink(printer.SlavePath(), baud) < 0) {
    state.SkipWithError("cannot open the simulator's pty");
    return;
  }
  // The first exchange meets a printer still waiting for its host.
  link::GetSerialNumber(link, "482913");

  auto tape = std::make_unique<tape::TapeData>();
  auto aux = std::make_unique<tape::AuxImage>();
  link::DeviceResponse last;
  QuietBoxes boxes;
  QuietCounters counters;
  LastMessage messages;
  std::chrono::nanoseconds spent{0};
  ByteCounts wire;
  for (auto _ : state) {
    counts = {};
    const auto start = std::chrono::steady_clock::now();
    const auto tape_outcome = tape::TapeDownload("482913", *tape, {link, last, boxes, counters, messages});
    const auto aux_outcome = tape::AuxDownload("482913", *aux, {link, last, boxes, counters, messages});
    spent += std::chrono::steady_clock::now() - start;
    if (!tape::Succeeded(tape_outcome) || !tape::Succeeded(aux_outcome)) {
      state.SkipWithError(("the download failed: " + messages.last).c_str());
      break;
    }
    wire.sent += counts.sent;
    wire.received += counts.received;
  }
  link.CloseLink();
  if (state.iterations() == 0) return;

  const double n = static_cast<double>(state.iterations());
  const double wire_s =
      std::chrono::duration<double>(sim::WireTime(wire.sent + wire.received, baud)).count() / n;
  const double each_s = std::chrono::duration<double>(spent).count() / n;
  state.counters["bytes"] = static_cast<double>(wire.sent + wire.received) / n;
  state.counters["wire_ms"] = wire_s * 1e3;
  state.counters["ratio"] = each_s / wire_s;
  bench::Summarize("download" + std::to_string(baud),
                   bench::Format("download  full sample, tape + aux, %6.0f baud: %8.1f ms for %5.0f wire ms"
                                 " (%.0f bytes)",
                                 static_cast<double>(baud), each_s * 1e3, wire_s * 1e3,
                                 static_cast<double>(wire.sent + wire.received) / n) +
                       bench::Format(" = %.3f x wire time", each_s / wire_s));
}

// At 9600 baud the sample takes about two seconds of wire time: two runs.
BENCHMARK(BM_FullSampleDownload)->Arg(9600)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FullSampleDownload)->Arg(115200)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return fjl::bench::RunAndSummarize(argc, argv); }
