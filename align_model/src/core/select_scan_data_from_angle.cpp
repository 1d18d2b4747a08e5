#include "align_model/select_scan_data_from_angle.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "align_model/angles.hpp"

namespace align_model
{
namespace
{

// Everything but the readings; the window angles are filled in once the window
// is known.
void copy_header_and_metadata(const sensor_msgs::msg::LaserScan & in, sensor_msgs::msg::LaserScan & out)
{
  out.header.stamp = in.header.stamp;
  out.header.frame_id = in.header.frame_id;
  out.angle_min = 0.0f;
  out.angle_max = 0.0f;
  out.angle_increment = in.angle_increment;
  out.time_increment = in.time_increment;
  out.scan_time = in.scan_time;
  out.range_min = in.range_min;
  out.range_max = in.range_max;
  out.ranges.clear();
  out.intensities.clear();
}

// Angle of a reading as the scanner states it: product and sum in single
// precision from the message's own fields, then mapped into [-pi, pi).
float reading_angle(const sensor_msgs::msg::LaserScan & in, std::uint64_t index)
{
  const float angle = static_cast<float>(index) * in.angle_increment + in.angle_min;
  return static_cast<float>(normalize_angle(angle));
}

// Readings first..last-1 (last <= ranges.size()). Scanners without (enough)
// intensities exist, so only the intensities that are present are copied.
void append_readings(
  const sensor_msgs::msg::LaserScan & in, std::uint64_t first, std::uint64_t last,
  sensor_msgs::msg::LaserScan & out)
{
  const auto at = [](const std::vector<float> & values, std::uint64_t index) {
      return values.begin() + static_cast<std::ptrdiff_t>(index);
    };
  out.ranges.insert(out.ranges.end(), at(in.ranges, first), at(in.ranges, last));
  const std::uint64_t intensities_end = std::min<std::uint64_t>(last, in.intensities.size());
  if (first < intensities_end) {
    out.intensities.insert(out.intensities.end(), at(in.intensities, first), at(in.intensities, intensities_end));
  }
}

// Whether the scan holds every reading of the window.
bool scan_holds_window(const sensor_msgs::msg::LaserScan & scan, const ScanWindow & window)
{
  const std::uint64_t readings = scan.ranges.size();
  if (readings < std::max(window.start, window.end)) {
    return false;
  }
  if (window.end <= window.start) {
    // The window runs through the first reading: only a scan of at least one
    // full turn has the readings on both sides of it.
    if (readings < window.turn) {
      return false;
    }
    // The offset of angle_min from itself is 2pi only up to rounding: after
    // the wrap it can come out as a few ulps, making one turn a single
    // reading, and the window's start then lies beyond that turn. There is no
    // "start..turn-1" to copy; refuse it like any window that does not fit.
    if (window.start > window.turn) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool scan_covers_window(
  const sensor_msgs::msg::LaserScan & scan, double min_angle, double max_angle, TurnCount turn_count)
{
  const auto window = compute_scan_window(scan.angle_min, scan.angle_increment, min_angle, max_angle, turn_count);
  return window && scan_holds_window(scan, *window);
}

bool select_scan_window(
  const sensor_msgs::msg::LaserScan & in, sensor_msgs::msg::LaserScan & out,
  double min_angle, double max_angle, TurnCount turn_count)
{
  if (&in == &out) {
    // Clearing out's readings would clear the readings still to be copied.
    const sensor_msgs::msg::LaserScan copy = in;
    return select_scan_window(copy, out, min_angle, max_angle, turn_count);
  }
  copy_header_and_metadata(in, out);
  const auto window = compute_scan_window(
    in.angle_min, in.angle_increment, min_angle, max_angle, turn_count);
  if (!window) {
    return false;
  }
  out.angle_min = reading_angle(in, window->start);
  out.angle_max = reading_angle(in, window->end - 1);
  if (!scan_holds_window(in, *window)) {
    return false;
  }
  if (window->end <= window->start) {
    // Both pieces in one allocation.
    out.ranges.reserve(window->turn - window->start + window->end);
    out.intensities.reserve(std::min<std::uint64_t>(in.intensities.size(), window->turn - window->start + window->end));
    append_readings(in, window->start, window->turn, out);
    append_readings(in, 0, window->end, out);
    return true;
  }
  append_readings(in, window->start, window->end, out);
  return true;
}

bool select_scan_data_from_angle(
  std::shared_ptr<const sensor_msgs::msg::LaserScan> in,
  std::shared_ptr<sensor_msgs::msg::LaserScan> out,
  double min_angle, double max_angle)
{
  if (!in || !out) {
    return false;
  }
  return select_scan_window(*in, *out, min_angle, max_angle, TurnCount::kOffsetOfAngleMin);
}

}  // namespace align_model
