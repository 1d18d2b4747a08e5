// The reference loop that every callback figure is divided by.
#include "floor_work.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <string>

namespace align_benchmark
{

void floor_work(
  const sensor_msgs::msg::LaserScan & scan, const align_model::RangeIntensityBand & band,
  std::vector<FloorPoint> & points)
{
  points.clear();
  const std::size_t readings = std::min(scan.ranges.size(), scan.intensities.size());
  const float * ranges = scan.ranges.data();
  const float * intensities = scan.intensities.data();
  const double angle_min = scan.angle_min;
  const double increment = scan.angle_increment;
  for (std::size_t i = 0; i < readings; ++i) {
    const double range = ranges[i];
    const double intensity = intensities[i];
    if (range > band.min_range && range < band.max_range &&
      intensity > band.min_intensity && intensity < band.max_intensity)
    {
      const double angle = angle_min + static_cast<double>(i) * increment;
      points.push_back(FloorPoint{range * std::cos(angle), range * std::sin(angle)});
    }
  }
}

double floor_seconds(
  const std::string & name, const sensor_msgs::msg::LaserScan & scan,
  const align_model::RangeIntensityBand & band)
{
  static std::map<std::string, double> measured;
  const auto known = measured.find(name);
  if (known != measured.end()) {
    return known->second;
  }
  using Clock = std::chrono::steady_clock;
  std::vector<FloorPoint> points;
  points.reserve(scan.ranges.size());
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    constexpr int kCalls = 200;
    const auto start = Clock::now();
    for (int call = 0; call < kCalls; ++call) {
      floor_work(scan, band, points);
      benchmark::DoNotOptimize(points.data());
      benchmark::ClobberMemory();
    }
    const std::chrono::duration<double> elapsed = Clock::now() - start;
    best = std::min(best, elapsed.count() / kCalls);
  }
  measured[name] = best;
  return best;
}

}  // namespace align_benchmark
