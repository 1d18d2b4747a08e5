#ifndef ALIGN_MODEL__SELECT_SCAN_DATA_FROM_ANGLE_HPP_
#define ALIGN_MODEL__SELECT_SCAN_DATA_FROM_ANGLE_HPP_

#include <cstdint>
#include <memory>
#include <optional>

#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_model
{

// How the number of readings of one full turn is counted. The two programs
// differ here, and the difference decides edge cases of wrapping windows.
enum class TurnCount
{
  // ceil(d(angle_min) / increment), d being the offset of angle_min from itself
  // taken into (0, 2pi] (the feature program).
  kOffsetOfAngleMin,
  // ceil(2pi / increment) (the line program).
  kTwoPiOverIncrement,
};

// Reading indices of an angle window: readings start..end-1 (or, for a window
// through the scan's first reading, start..turn-1 followed by 0..end-1).
struct ScanWindow
{
  std::uint64_t start = 0;
  std::uint64_t end = 0;
  std::uint64_t turn = 0;
};

// Indices of the window [min_angle, max_angle) in a scan that starts at
// angle_min with the given increment. Empty when the window cannot be placed
// safely: a non-finite or non-positive increment, a non-finite angle, or a
// window end more than 1000 turns away from angle_min.
std::optional<ScanWindow> compute_scan_window(
  float angle_min, float angle_increment, double min_angle, double max_angle, TurnCount turn_count);

// Whether select_scan_window would succeed on this scan, without the copy.
bool scan_covers_window(
  const sensor_msgs::msg::LaserScan & scan, double min_angle, double max_angle, TurnCount turn_count);

// Copies the readings of the window [min_angle, max_angle) of `in` into `out`
// (header and metadata first, then ranges and the intensities that exist).
// Returns false when the window reaches beyond the readings present, or runs
// through the first reading of a scan that covers less than a full turn, or
// cannot be placed at all (see compute_scan_window; out's angle_min and
// angle_max are then 0).
bool select_scan_window(
  const sensor_msgs::msg::LaserScan & in, sensor_msgs::msg::LaserScan & out,
  double min_angle, double max_angle, TurnCount turn_count);

// The feature program's window selection (full turn counted from the offset
// of angle_min).
bool select_scan_data_from_angle(
  std::shared_ptr<const sensor_msgs::msg::LaserScan> in,
  std::shared_ptr<sensor_msgs::msg::LaserScan> out,
  double min_angle, double max_angle);

}  // namespace align_model

#endif  // ALIGN_MODEL__SELECT_SCAN_DATA_FROM_ANGLE_HPP_
