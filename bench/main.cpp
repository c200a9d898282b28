// The benchmark program: Google Benchmark's options, with the summary reporter on the console.
// Exits with 2 when a target was missed, so scripts can tell.
#include <benchmark/benchmark.h>

#include "bench/SummaryReporter.h"

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return reporter.targetsMet() ? 0 : 2;
}
