#ifndef BENCHMARK__STAGE_BENCHMARKS_HPP_
#define BENCHMARK__STAGE_BENCHMARKS_HPP_

#include <vector>

#include "benchmark_scans.hpp"

namespace align_benchmark
{

// Each step of the scan pipeline alone, on the inputs it sees in the node.
void register_stage_benchmarks(const std::vector<BenchmarkScan> & scans);
// Corner and target line search over 2 to 200 segments.
void register_search_scaling();

}  // namespace align_benchmark

#endif  // BENCHMARK__STAGE_BENCHMARKS_HPP_
