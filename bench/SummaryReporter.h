// The console report, followed by each repaint as a multiple of the frame copy and the targets.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class SummaryReporter final : public benchmark::ConsoleReporter {
 public:
  using ConsoleReporter::ConsoleReporter;

  void ReportRuns(const std::vector<Run>& reports) override;
  void Finalize() override;

  // True when every target whose benchmarks ran was met.
  bool targetsMet() const { return targetsMet_; }

 private:
  // Nanoseconds per operation of a benchmark's fastest repetition: other work on the machine
  // only ever adds time, so the fastest is the one closest to the code's own cost.
  struct Figure {
    double cpu = 0;
    double real = 0;
  };

  bool has(const std::string& name) const { return fastest_.count(name) != 0; }
  // The processor time the verdicts use; 0 when the benchmark did not run.
  double cpu(const std::string& name) const { return has(name) ? fastest_.at(name).cpu : 0; }

  std::map<std::string, Figure> fastest_;
  bool targetsMet_ = true;
};
