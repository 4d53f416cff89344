// morvanite-bench: every benchmark of bench/*.cpp, then the comparisons they registered.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/bench.h"

namespace bench {
namespace {

struct Comparison {
    std::string fast;
    std::string slow;
    double atLeast;
};

std::vector<Comparison>& Comparisons() {
    static std::vector<Comparison> comparisons;
    return comparisons;
}

// The console report, keeping each benchmark's CPU time per iteration for the comparisons.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0)
                continue;
            seconds[run.benchmark_name()] = run.cpu_accumulated_time / run.iterations;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

}  // namespace

int RegisterComparison(const char* fast, const char* slow, double atLeast) {
    Comparisons().push_back({fast, slow, atLeast});
    return 0;
}

}  // namespace bench

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    bench::RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const bench::Comparison& c : bench::Comparisons()) {
        const auto fast = reporter.seconds.find(c.fast), slow = reporter.seconds.find(c.slow);
        if (fast == reporter.seconds.end() || slow == reporter.seconds.end()) continue;
        const double ratio = slow->second / fast->second;
        std::printf("%s is %.1f times as fast as %s in CPU time (target: at least %.1f): %s\n",
                    c.fast.c_str(), ratio, c.slow.c_str(), c.atLeast,
                    ratio >= c.atLeast ? "met" : "NOT MET");
    }
    return 0;
}
