#pragma once
// One plain line per figure, printed after Google Benchmark's own table, so
// scripts/bench can show each measurement beside its target. A benchmark
// function runs more than once while its iteration count is settled; the
// last run's line is the one kept.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace fjl::bench {

inline std::map<std::string, std::string>& SummaryLines() {
  static std::map<std::string, std::string> lines;
  return lines;
}

inline void Summarize(const std::string& key, const std::string& line) { SummaryLines()[key] = line; }

inline std::string Format(const char* format, double a, double b = 0, double c = 0, double d = 0) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, format, a, b, c, d);
  return buffer;
}

inline int RunAndSummarize(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  for (const auto& [key, line] : SummaryLines()) std::printf("%s\n", line.c_str());
  return 0;
}

}  // namespace fjl::bench
