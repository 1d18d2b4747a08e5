#ifndef ALIGN_MODEL__SCAN_POINTS_HPP_
#define ALIGN_MODEL__SCAN_POINTS_HPP_

#include <vector>

#include "sensor_msgs/msg/laser_scan.hpp"
#include "tuw_geometry/point2d.hpp"

namespace align_model
{

// The range and intensity predicate: a reading passes when
// min_range < range < max_range and min_intensity < intensity < max_intensity,
// compared in double; NaN and infinities fail.
struct RangeIntensityBand
{
  double min_range = 0.0;
  double max_range = 0.0;
  double min_intensity = 0.0;
  double max_intensity = 0.0;

  bool operator()(float range, float intensity) const;
};

// Rigid 2-D transform given by the first two rows of a rotation matrix and a
// translation; a point (x, y) is taken at height 0.
struct PlanarTransform
{
  double r00 = 1.0, r01 = 0.0, r02 = 0.0;
  double r10 = 0.0, r11 = 1.0, r12 = 0.0;
  double tx = 0.0, ty = 0.0;
};

// Replaces `points` by one point per reading of the whole scan that passes the
// band, in reading order, in the laser frame. A reading without an intensity
// (intensities shorter than ranges) fails the band. Reserves one slot per
// reading, and one more for place_far_point_past_end, once.
void extract_points(
  const sensor_msgs::msg::LaserScan & scan, const RangeIntensityBand & band,
  std::vector<tuw::Point2D> & points);

// Segment detectors built from the original split-and-merge code read the
// point one past the end of the list as the last point's neighbour. What
// lies there is whatever the vector's memory held, often a point of the
// previous scan, so the last segment of a scan could end at a point of
// another scan and the same scan gave different segments from run to run.
// This leaves a point far from every scan in that slot (inside the capacity
// extract_points reserves), so that the read always ends the run at the last
// real point, as the bundled detector does. The list itself is unchanged.
void place_far_point_past_end(std::vector<tuw::Point2D> & points);

// (x, y) -> (r00 x + r01 y + r02 0 + tx, r10 x + r11 y + r12 0 + ty), in place.
void transform_points(const PlanarTransform & transform, std::vector<tuw::Point2D> & points);

// (x, y) -> (tx + cos(th) x - sin(th) y, ty + sin(th) x + cos(th) y), in place:
// the line program's laser-to-base offset.
void transform_points_to_base(double tx, double ty, double th, std::vector<tuw::Point2D> & points);

}  // namespace align_model

#endif  // ALIGN_MODEL__SCAN_POINTS_HPP_
