// Shared pieces of the align_node tests: synthetic scans of the docking
// target and helpers that feed scans to a running node.
#ifndef ALIGN_MODEL_TEST_LINE__LINE_TEST_SUPPORT_HPP_
#define ALIGN_MODEL_TEST_LINE__LINE_TEST_SUPPORT_HPP_

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "rcutils/logging.h"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "support/node_harness.hpp"

namespace align_line_test
{

constexpr double kPi = 3.141592653589793;

inline double degrees(double value) {return value * kPi / 180.0;}

// The default mounting of the rear laser in the base frame.
constexpr double kLaserX = -0.102;
constexpr double kLaserY = 0.0;
constexpr double kLaserTh = 3.14;

// Two plates joined at the apex, as seen in the laser frame. `axis` points
// from the apex out of the V's mouth; each plate leaves the apex at
// axis +- half_opening.
struct VTarget
{
  double apex_x = 0.9;
  double apex_y = 0.05;
  double axis = kPi - 0.1;
  double half_opening = degrees(60.0);
  double plate_length = 0.3;
};

// The turn from the first plate (walked towards the apex) to the second
// (walked away from it) in a counter-clockwise scan.
inline double plate_turn(const VTarget & target) {return kPi - 2.0 * target.half_opening;}

struct Pose2D
{
  double x = 0.0;
  double y = 0.0;
  double theta = 0.0;
};

// Where the apex and the mouth direction lie in the base frame of a laser
// mounted at the default offset.
inline Pose2D expected_base_pose(const VTarget & target)
{
  const double c = std::cos(kLaserTh);
  const double s = std::sin(kLaserTh);
  return {
    kLaserX + c * target.apex_x - s * target.apex_y,
    kLaserY + s * target.apex_x + c * target.apex_y,
    target.axis + kLaserTh};
}

inline double wrapped_difference(double a, double b)
{
  return std::remainder(a - b, 2.0 * kPi);
}

// Distance along the ray from the origin in direction `angle` to the
// segment p..q, if it hits.
inline std::optional<double> ray_hit(double angle, double px, double py, double qx, double qy)
{
  const double dx = std::cos(angle);
  const double dy = std::sin(angle);
  const double ex = qx - px;
  const double ey = qy - py;
  const double denominator = dx * ey - dy * ex;
  if (std::fabs(denominator) < 1e-12) {
    return std::nullopt;
  }
  const double t = (px * ey - py * ex) / denominator;
  const double u = (px * dy - py * dx) / denominator;
  if (t <= 0.0 || u < 0.0 || u > 1.0) {
    return std::nullopt;
  }
  return t;
}

// A scan covering the given angles; every reading misses (far, dull) until a
// target is drawn into it.
inline sensor_msgs::msg::LaserScan make_empty_scan(
  float angle_min = static_cast<float>(-0.75 * kPi),
  float angle_increment = static_cast<float>(degrees(0.25)), std::size_t count = 1081)
{
  sensor_msgs::msg::LaserScan scan;
  scan.header.frame_id = "laser_back";
  scan.header.stamp.sec = 1234;
  scan.header.stamp.nanosec = 5678;
  scan.angle_min = angle_min;
  scan.angle_increment = angle_increment;
  scan.angle_max = angle_min + angle_increment * static_cast<float>(count - 1);
  scan.range_min = 0.02f;
  scan.range_max = 30.0f;
  scan.ranges.assign(count, 5.0f);
  scan.intensities.assign(count, 10.0f);
  return scan;
}

// Draws the two plates with intensity 252 (inside the default band).
inline sensor_msgs::msg::LaserScan make_v_target_scan(const VTarget & target = VTarget())
{
  sensor_msgs::msg::LaserScan scan = make_empty_scan();
  const double plate_angles[2] = {target.axis - target.half_opening, target.axis + target.half_opening};
  for (std::size_t i = 0; i < scan.ranges.size(); ++i) {
    // The node turns readings into points with this single precision angle.
    const float angle = static_cast<float>(i) * scan.angle_increment + scan.angle_min;
    double nearest = std::numeric_limits<double>::infinity();
    for (double plate_angle : plate_angles) {
      const auto hit = ray_hit(
        angle, target.apex_x, target.apex_y,
        target.apex_x + target.plate_length * std::cos(plate_angle),
        target.apex_y + target.plate_length * std::sin(plate_angle));
      if (hit) {
        nearest = std::min(nearest, *hit);
      }
    }
    if (std::isfinite(nearest)) {
      scan.ranges[i] = static_cast<float>(nearest);
      scan.intensities[i] = 252.0f;
    }
  }
  return scan;
}

// Length bounds that admit ~0.3 m plates; the defaults admit nothing.
inline std::vector<rclcpp::Parameter> plate_overrides(std::vector<rclcpp::Parameter> more = {})
{
  more.emplace_back("min_line_len", 0.15);
  more.emplace_back("max_line_len", 0.45);
  return more;
}

inline void enable_debug_logging()
{
  rclcpp::get_logger("align_node").set_level(rclcpp::Logger::Level::Debug);
}

inline bool starts_with(const std::string & text, const std::string & prefix)
{
  return text.compare(0, prefix.size(), prefix) == 0;
}

inline std::size_t count_prefix(const align_test::LogCapture & log, const std::string & prefix)
{
  const auto texts = log.texts();
  return static_cast<std::size_t>(std::count_if(
           texts.begin(), texts.end(), [&](const std::string & t) {return starts_with(t, prefix);}));
}

inline const char * const kScanLinePrefix = "\n\n\nGet BACK_SCAN laser data";
inline const char * const kWindowError =
  "select_scan_data_from_angle is FAILED, maybe select data out of range.";

// Publishes a scan on "back_scan", spins until the node's callback has run
// and once more so that its outputs reach the probe.
inline bool process_scan(
  align_test::NodeHarness & harness, const align_test::LogCapture & log,
  const sensor_msgs::msg::LaserScan & scan)
{
  const std::size_t before = count_prefix(log, kScanLinePrefix);
  harness.publish("back_scan", scan);
  const bool processed = harness.spin_until([&] {return count_prefix(log, kScanLinePrefix) > before;});
  harness.spin_until([] {return false;}, std::chrono::milliseconds(50));
  return processed;
}

}  // namespace align_line_test

#endif  // ALIGN_MODEL_TEST_LINE__LINE_TEST_SUPPORT_HPP_
