#include "align_model/scan_points.hpp"

#include <cmath>
#include <cstddef>

namespace align_model
{

bool RangeIntensityBand::operator()(float range, float intensity) const
{
  const double r = range;
  const double q = intensity;
  return min_intensity < q && q < max_intensity && min_range < r && r < max_range;
}

void extract_points(
  const sensor_msgs::msg::LaserScan & scan, const RangeIntensityBand & band,
  std::vector<tuw::Point2D> & points)
{
  const std::size_t readings = scan.ranges.size();
  points.clear();
  points.reserve(readings + 1);
  for (std::size_t i = 0; i < readings; ++i) {
    // A reading without an intensity cannot show that it is reflective.
    if (i >= scan.intensities.size()) {
      continue;
    }
    const float range = scan.ranges[i];
    if (!band(range, scan.intensities[i])) {
      continue;
    }
    // The angle is formed in single precision from the message fields, as the
    // scanner's own angle of the reading, before the trigonometry in double.
    const double angle = static_cast<float>(i) * scan.angle_increment + scan.angle_min;
    const double r = range;
    points.emplace_back(std::cos(angle) * r, r * std::sin(angle));
  }
}

void place_far_point_past_end(std::vector<tuw::Point2D> & points)
{
  // Far enough that its gap to any real point exceeds four times any gap
  // between real points.
  constexpr double kFar = 1e9;
  points.emplace_back(kFar, kFar);
  points.pop_back();
}

}  // namespace align_model
