// Shared by the benchmarks in bench/: comparisons printed after every benchmark has run.
#pragma once

namespace bench {

// After the run, prints how many times as fast benchmark `fast` was as benchmark `slow` (CPU
// time per iteration, steadier than wall time on a shared machine) and whether that reaches
// `atLeast`. Returns 0; for use in a static initialiser.
int RegisterComparison(const char* fast, const char* slow, double atLeast);

}  // namespace bench
