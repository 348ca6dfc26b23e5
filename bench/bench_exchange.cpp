// One flash-read exchange (a 100-byte chunk) through DeviceLink and the real
// POSIX channel, against the simulated printer on a pseudo-terminal that
// gives every byte its wire time. The "ratio" counter is the exchange's
// time over the wire time of its request and reply frames (10 bits a byte);
// anything the link adds on top of the line shows above 1.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "link/device_link.h"
#include "sim/lib/emission.h"
#include "sim/lib/pty_printer.h"
#include "sim/lib/sample_journal.h"
#include "sim/lib/simulator.h"

namespace {

constexpr const char* kRequestData = "482913;268458935;";
// Request: 17 data bytes + 10 framing. Reply: "100;" + 200 hex + ";" = 205
// data bytes + 22 framing.
constexpr std::size_t kRequestBytes = 27;
constexpr std::size_t kReplyBytes = 227;

void BM_FlashReadExchange(benchmark::State& state) {
  const auto baud = static_cast<std::int32_t>(state.range(0));
  fjl::sim::Simulator simulator(fjl::sim::SamplePrinterModel());
  fjl::sim::PtyPrinter printer(simulator, fjl::sim::PtyPrinterOptions{.baud = baud});
  fjl::link::DeviceLink link;
  if (link.OpenLink(printer.SlavePath(), baud) < 0) {
    state.SkipWithError("cannot open the simulator's pty");
    return;
  }
  // The first exchange meets a printer still waiting for its host.
  link.Exchange(0xF1, kRequestData);

  std::chrono::nanoseconds spent{0};
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    const fjl::link::DeviceResponse& r = link.Exchange(0xF1, kRequestData);
    spent += std::chrono::steady_clock::now() - start;
    if (r.Status != 0 || r.Fields[0] != "100") {
      state.SkipWithError("the exchange failed");
      break;
    }
  }
  link.CloseLink();

  const double wire = std::chrono::duration<double>(fjl::sim::WireTime(kRequestBytes + kReplyBytes, baud)).count();
  const double each = std::chrono::duration<double>(spent).count() / static_cast<double>(state.iterations());
  state.counters["wire_ms"] = wire * 1e3;
  state.counters["exchange_ms"] = each * 1e3;
  state.counters["ratio"] = each / wire;
}

BENCHMARK(BM_FlashReadExchange)->Arg(9600)->Arg(115200)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
