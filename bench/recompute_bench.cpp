// Speed of one recompute: a keystroke's text and a pasted megabyte. Prints the figures and how
// they stand against the targets; asserts nothing.
//
// Targets: "FFFFFFFF" and "7fff" at most 200 ns each; a 1,000,000-unit digit string with leading
// zeros and a 1,000,000-unit junk text at most 3 ms each; the 1,000,000-unit case at most 12 times
// the 100,000-unit case. The baseline is one plain pass over the same text, measured in the same
// run, so a slow machine shows as a slow baseline rather than as a slow recompute.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "conversion/recompute.h"

namespace {

std::u16string LeadingZeros(std::size_t units) {
  return std::u16string(units - 8, u'0') + u"DEADBEEF";
}

std::u16string Junk(std::size_t units) {
  std::u16string text;
  text.reserve(units);
  for (std::size_t i = 0; text.size() < units; ++i)
    text += u"q\u00e9 \U0001F600z"[i % 6];
  return text;
}

void RecomputeText(benchmark::State& state, const std::u16string& text) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(conversion::Recompute(text));
  }
}

// The baseline: one look at every unit of the text, which any reading of it must do at least.
void ScanText(benchmark::State& state, const std::u16string& text) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        std::count_if(text.begin(), text.end(), [](char16_t c) { return c <= u'f'; }));
  }
}

// Keeps each benchmark's time per iteration, in nanoseconds, to print the summary at the end.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration) {
        m_nanoseconds[run.benchmark_name()] =
            run.GetAdjustedRealTime() * (run.time_unit == benchmark::kMicrosecond   ? 1e3
                                         : run.time_unit == benchmark::kMillisecond ? 1e6
                                                                                    : 1.0);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintSummary() const {
    std::printf("\nSummary (targets in brackets):\n");
    Line("Recompute/FFFFFFFF", 200);
    Line("Recompute/7fff", 200);
    Line("Recompute/leading_zeros_1M", 3e6);
    Line("Recompute/junk_1M", 3e6);
    Ratio("Recompute/leading_zeros_1M", "Recompute/leading_zeros_100k", 12);
    Ratio("Recompute/junk_1M", "Recompute/junk_100k", 12);
    Ratio("Recompute/leading_zeros_1M", "Scan/1M", 0);
  }

 private:
  double Get(const std::string& name) const {
    const auto found = m_nanoseconds.find(name);
    return found == m_nanoseconds.end() ? -1 : found->second;
  }
  void Line(const std::string& name, double targetNs) const {
    const double ns = Get(name);
    std::printf("  %-32s %12.1f ns  [<= %.0f ns] %s\n", name.c_str(), ns, targetNs,
                ns >= 0 && ns <= targetNs ? "met" : "NOT MET");
  }
  void Ratio(const std::string& large, const std::string& small, double target) const {
    const double ratio = Get(large) / Get(small);
    if (target > 0) {
      std::printf("  %-32s %12.2f x   [<= %.0f x] %s\n", (large + " / " + small).c_str(), ratio,
                  target, ratio <= target ? "met" : "NOT MET");
    } else {
      std::printf("  %-32s %12.2f x   (against one plain pass over the text)\n",
                  (large + " / " + small).c_str(), ratio);
    }
  }

  std::map<std::string, double> m_nanoseconds;
};

}  // namespace

int main(int argc, char** argv) {
  static const std::u16string kTyped8 = u"FFFFFFFF";
  static const std::u16string kTyped4 = u"7fff";
  static const std::u16string kZeros100k = LeadingZeros(100'000);
  static const std::u16string kZeros1M = LeadingZeros(1'000'000);
  static const std::u16string kJunk100k = Junk(100'000);
  static const std::u16string kJunk1M = Junk(1'000'000);

  benchmark::RegisterBenchmark("Recompute/FFFFFFFF", RecomputeText, kTyped8);
  benchmark::RegisterBenchmark("Recompute/7fff", RecomputeText, kTyped4);
  benchmark::RegisterBenchmark("Recompute/leading_zeros_100k", RecomputeText, kZeros100k)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("Recompute/leading_zeros_1M", RecomputeText, kZeros1M)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("Recompute/junk_100k", RecomputeText, kJunk100k)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("Recompute/junk_1M", RecomputeText, kJunk1M)
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("Scan/1M", ScanText, kZeros1M)->Unit(benchmark::kMicrosecond);

  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintSummary();
  benchmark::Shutdown();
  return 0;
}
