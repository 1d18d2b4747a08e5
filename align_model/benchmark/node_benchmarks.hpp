#ifndef BENCHMARK__NODE_BENCHMARKS_HPP_
#define BENCHMARK__NODE_BENCHMARKS_HPP_

#include <vector>

#include "benchmark_scans.hpp"

namespace align_benchmark
{

// The floor and the whole scan callback of both nodes, debug off and on.
void register_callback_benchmarks(const std::vector<BenchmarkScan> & scans);
// The feature node's callback, debug off, over growing scans.
void register_callback_scaling();

}  // namespace align_benchmark

#endif  // BENCHMARK__NODE_BENCHMARKS_HPP_
