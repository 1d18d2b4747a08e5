// Per-iteration counters shared by all benchmarks.
#include "measurement.hpp"

namespace align_benchmark
{

void Measurement::start()
{
  allocations_ = allocation_totals();
  started_ = std::chrono::steady_clock::now();
}

void Measurement::finish(benchmark::State & state, double floor_seconds_per_scan) const
{
  const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started_;
  const AllocationTotals now = allocation_totals();
  const double iterations = static_cast<double>(state.iterations());
  if (iterations <= 0.0) {
    return;
  }
  if (allocations_are_counted()) {
    state.counters["allocs"] = static_cast<double>(now.count - allocations_.count) / iterations;
    state.counters["bytes"] = static_cast<double>(now.bytes - allocations_.bytes) / iterations;
  }
  if (floor_seconds_per_scan > 0.0) {
    state.counters["x_floor"] = elapsed.count() / iterations / floor_seconds_per_scan;
  }
}

}  // namespace align_benchmark
