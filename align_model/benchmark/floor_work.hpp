#ifndef BENCHMARK__FLOOR_WORK_HPP_
#define BENCHMARK__FLOOR_WORK_HPP_

#include <string>
#include <vector>

#include "align_model/scan_points.hpp"
#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_benchmark
{

struct FloorPoint
{
  double x;
  double y;
};

// The least work any detector must do on a scan: read every range and
// intensity, apply the band, turn the accepted readings into points.
// `points` keeps its capacity between calls.
void floor_work(
  const sensor_msgs::msg::LaserScan & scan, const align_model::RangeIntensityBand & band,
  std::vector<FloorPoint> & points);

// Seconds per floor_work call on this scan, measured once per scan name in
// this process (best of a few rounds, so that the ratios in one run share a
// reference).
double floor_seconds(
  const std::string & name, const sensor_msgs::msg::LaserScan & scan,
  const align_model::RangeIntensityBand & band);

}  // namespace align_benchmark

#endif  // BENCHMARK__FLOOR_WORK_HPP_
