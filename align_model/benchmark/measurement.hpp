#ifndef BENCHMARK__MEASUREMENT_HPP_
#define BENCHMARK__MEASUREMENT_HPP_

#include <benchmark/benchmark.h>

#include <chrono>

#include "allocation_counter.hpp"

namespace align_benchmark
{

// Wraps a measured loop: call start() right before it and finish() right
// after; finish() adds per-iteration counters for heap allocations and, when
// a floor is given, the time per iteration as a multiple of it.
class Measurement
{
public:
  void start();
  void finish(benchmark::State & state, double floor_seconds_per_scan = 0.0) const;

private:
  std::chrono::steady_clock::time_point started_;
  AllocationTotals allocations_;
};

}  // namespace align_benchmark

#endif  // BENCHMARK__MEASUREMENT_HPP_
