// Benchmark program: registers every benchmark on the scans of this run,
// inside one ROS context.
#include <benchmark/benchmark.h>

#include <vector>

#include "benchmark_scans.hpp"
#include "node_benchmarks.hpp"
#include "rclcpp/rclcpp.hpp"
#include "stage_benchmarks.hpp"

int main(int argc, char ** argv)
{
  // ROS arguments are not taken: the benchmarks set their own parameters.
  rclcpp::init(1, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    rclcpp::shutdown();
    return 1;
  }

  std::vector<align_benchmark::BenchmarkScan> scans;
  for (std::size_t readings : {360u, 1081u, 3600u}) {
    scans.push_back(align_benchmark::approach_scan(readings));
    align_benchmark::BenchmarkScan real = align_benchmark::real_scan(readings);
    if (!real.scan.ranges.empty()) {
      scans.push_back(real);
    }
    scans.push_back(align_benchmark::worst_case_scan(readings));
  }
  align_benchmark::register_callback_benchmarks(scans);
  align_benchmark::register_stage_benchmarks(scans);
  align_benchmark::register_callback_scaling();
  align_benchmark::register_search_scaling();

  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  rclcpp::shutdown();
  return 0;
}
