#ifndef BENCHMARK__BENCHMARK_SCANS_HPP_
#define BENCHMARK__BENCHMARK_SCANS_HPP_

#include <cstddef>
#include <string>
#include <vector>

#include "align_model/scan_points.hpp"
#include "program_rig.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_benchmark
{

// One scan to measure, with the band and laser mount that let its target
// points through the nodes.
struct BenchmarkScan
{
  std::string name;  // e.g. "approach_1081"
  sensor_msgs::msg::LaserScan scan;
  align_model::RangeIntensityBand band;
};

// The laser in the base frame, as in the bundled approach.
using align_rig::kMountX;
using align_rig::kMountY;
using align_rig::kMountYaw;

// The bundled simulated approach (a scan from its middle), resampled to
// `readings` over the same field of view.
BenchmarkScan approach_scan(std::size_t readings);
// A real Hokuyo recording with a band for its raw intensity scale; empty
// scan when the recording is not available.
BenchmarkScan real_scan(std::size_t readings);
// Every reading in the band, ranges in a sawtooth so that the detector cuts
// the scan into many short segments.
BenchmarkScan worst_case_scan(std::size_t readings);

// Nearest-neighbour resampling over the same field of view.
sensor_msgs::msg::LaserScan resample(const sensor_msgs::msg::LaserScan & scan, std::size_t readings);

}  // namespace align_benchmark

#endif  // BENCHMARK__BENCHMARK_SCANS_HPP_
