// The summary after the benchmark table: ratios to the frame copy and the three targets.
#include "bench/SummaryReporter.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace {

// "wide_x2": the wide window at scale 2.
constexpr const char* kWidths[] = {"narrow", "wide", "wide_x2"};
constexpr const char* kSkins[] = {"numbered", "picture"};

// Targets: a wide full repaint within this many frame copies, an idle tick and a Hard deal
// within these times.
constexpr double kRepaintCopies = 3.0;
constexpr double kIdleTickNanoseconds = 1000.0;
constexpr double kHardDealNanoseconds = 50000.0;

std::string format(const char* pattern, double value) {
  char text[48];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

std::string microseconds(double nanoseconds) { return format("%.3f us", nanoseconds / 1000.0); }

}  // namespace

void SummaryReporter::ReportRuns(const std::vector<Run>& reports) {
  ConsoleReporter::ReportRuns(reports);
  for (const Run& run : reports) {
    if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
    const auto iterations = static_cast<double>(run.iterations);
    const Figure figure{run.cpu_accumulated_time * 1e9 / iterations,
                        run.real_accumulated_time * 1e9 / iterations};
    // The name without the repetition and thread suffixes, so repetitions share it.
    std::string name = run.run_name.function_name;
    if (!run.run_name.args.empty()) name += "/" + run.run_name.args;
    const auto found = fastest_.find(name);
    if (found == fastest_.end()) {
      fastest_[name] = figure;
    } else {
      found->second.cpu = std::min(found->second.cpu, figure.cpu);
      found->second.real = std::min(found->second.real, figure.real);
    }
  }
}

// Processor time decides: on a machine shared with other work the wall clock also counts the
// time the benchmark waited for a core. Both are printed.
void SummaryReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::ostream& out = GetOutputStream();
  out << "\nSummary: fastest repetition per operation, processor time (wall clock)\n";
  for (const auto& [name, figure] : fastest_) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-30s %12s  (%s)\n", name.c_str(),
                  microseconds(figure.cpu).c_str(), microseconds(figure.real).c_str());
    out << line;
  }

  out << "\nRepaints as multiples of one frame copy of the same size, processor time (wall clock)\n";
  double worstWide = -1;
  double worstWideScaled = -1;
  for (const char* width : kWidths) {
    const std::string copy = std::string("frameCopy/") + width;
    if (!has(copy)) continue;
    const Figure floor = fastest_.at(copy);
    const auto ratio = [&](const std::string& name) {
      if (!has(name)) return;
      const Figure figure = fastest_.at(name);
      const double copies = figure.cpu / floor.cpu;
      char line[160];
      std::snprintf(line, sizeof line, "  %-30s %6.2f x  (%.2f x)\n", name.c_str(), copies,
                    figure.real / floor.real);
      out << line;
      if (std::string(width) == "wide" && name.starts_with("fullRepaint/")) {
        worstWide = std::max(worstWide, copies);
      }
      if (std::string(width) == "wide_x2" && name.starts_with("fullRepaint/")) {
        worstWideScaled = std::max(worstWideScaled, copies);
      }
    };
    for (const char* skin : kSkins) ratio(std::string("fullRepaint/") + width + "_" + skin);
    ratio(std::string("tickAfterSlide/") + width);
  }

  out << "\nTargets\n";
  const auto verdict = [&](bool ran, bool met, const std::string& what, const std::string& got) {
    if (!ran) {
      out << "  not run  " << what << "\n";
      return;
    }
    targetsMet_ = targetsMet_ && met;
    out << (met ? "  MET      " : "  NOT MET  ") << what << ": " << got << "\n";
  };
  verdict(worstWide >= 0, worstWide <= kRepaintCopies,
          "wide full repaint within 3 x the frame copy (slower skin)", format("%.2f x", worstWide));
  verdict(worstWideScaled >= 0, worstWideScaled <= kRepaintCopies,
          "wide full repaint at scale 2 within 3 x the frame copy of its size (slower skin)",
          format("%.2f x", worstWideScaled));
  verdict(has("idleTick"), cpu("idleTick") < kIdleTickNanoseconds, "idle tick under 1 us",
          microseconds(cpu("idleTick")));
  verdict(has("deal/hard"), cpu("deal/hard") < kHardDealNanoseconds, "Hard deal under 50 us",
          microseconds(cpu("deal/hard")));
}
