// Scans, transforms and node set-up shared by the feature program's tests.
#ifndef ALIGN_MODEL_TEST_FEATURE__FEATURE_TEST_SUPPORT_HPP_
#define ALIGN_MODEL_TEST_FEATURE__FEATURE_TEST_SUPPORT_HPP_

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "geometry_msgs/msg/transform_stamped.hpp"
#include "rcutils/logging.h"
#include "sensor_msgs/msg/laser_scan.hpp"
#include "support/node_harness.hpp"
#include "tf2_msgs/msg/tf_message.hpp"
#include "zephyrax_protocol/msg/align.hpp"

namespace feature_test
{

constexpr int kDebug = 10;
constexpr int kInfo = 20;
constexpr int kError = 40;

// Where the laser sits on the robot, in the publish frame.
struct LaserMount
{
  double x = -0.3;
  double y = 0.05;
  double yaw = 3.0;
};

// The docking target: two plates meeting at a corner, their directions
// differing by `turn` (the corner search's target angle), opening along
// `heading` in the publish frame.
struct VTarget
{
  double corner_x = 0.0;
  double corner_y = 0.0;
  double heading = 0.15;
  double plate_length = 0.3;
  double turn = M_PI / 3.0;
};

// A 180 degree scan in 0.25 degree steps, 721 readings.
struct ScanGeometry
{
  float angle_min = static_cast<float>(-M_PI / 2.0);
  float angle_increment = static_cast<float>(0.25 * M_PI / 180.0);
  std::size_t readings = 721;
};

constexpr float kPlateIntensity = 252.0f;
constexpr float kBackgroundIntensity = 10.0f;
constexpr float kBackgroundRange = 5.0f;

// Beam angle of reading i, rounded the way the node rounds it.
inline float beam_angle(const ScanGeometry & geometry, std::size_t i)
{
  return static_cast<float>(i) * geometry.angle_increment + geometry.angle_min;
}

// Puts the corner exactly on one beam, `range` metres from the laser, so that
// one reading hits the corner itself.
inline VTarget target_on_beam(
  const LaserMount & mount, const ScanGeometry & geometry, std::size_t beam, double range, double heading)
{
  VTarget target;
  const double direction = mount.yaw + static_cast<double>(beam_angle(geometry, beam));
  target.corner_x = mount.x + range * std::cos(direction);
  target.corner_y = mount.y + range * std::sin(direction);
  target.heading = heading;
  return target;
}

// Distance along the ray (ox, oy) + t (dx, dy) to the segment a-b; infinity
// when the ray misses it.
inline double ray_to_segment(
  double ox, double oy, double dx, double dy, double ax, double ay, double bx, double by)
{
  const double ex = bx - ax;
  const double ey = by - ay;
  const double denominator = dx * ey - dy * ex;
  if (std::fabs(denominator) < 1e-12) {
    return std::numeric_limits<double>::infinity();
  }
  const double t = ((ax - ox) * ey - (ay - oy) * ex) / denominator;
  const double s = ((ax - ox) * dy - (ay - oy) * dx) / denominator;
  if (t <= 0.0 || s < -1e-12 || s > 1.0 + 1e-12) {
    return std::numeric_limits<double>::infinity();
  }
  return t;
}

// Ray-casts the two plates of the target from the laser.
inline sensor_msgs::msg::LaserScan make_target_scan(
  const LaserMount & mount, const VTarget & target, const std::string & frame_id,
  const ScanGeometry & geometry = ScanGeometry())
{
  sensor_msgs::msg::LaserScan scan;
  scan.header.frame_id = frame_id;
  scan.angle_min = geometry.angle_min;
  scan.angle_increment = geometry.angle_increment;
  scan.angle_max = beam_angle(geometry, geometry.readings - 1);
  scan.range_min = 0.01f;
  scan.range_max = 30.0f;
  const double half_opening = (M_PI - target.turn) / 2.0;
  const double ends[2][2] = {
    {target.corner_x + target.plate_length * std::cos(target.heading + half_opening),
      target.corner_y + target.plate_length * std::sin(target.heading + half_opening)},
    {target.corner_x + target.plate_length * std::cos(target.heading - half_opening),
      target.corner_y + target.plate_length * std::sin(target.heading - half_opening)}};
  for (std::size_t i = 0; i < geometry.readings; ++i) {
    const double direction = mount.yaw + static_cast<double>(beam_angle(geometry, i));
    const double dx = std::cos(direction);
    const double dy = std::sin(direction);
    double range = std::numeric_limits<double>::infinity();
    for (const auto & end : ends) {
      range = std::min(
        range, ray_to_segment(mount.x, mount.y, dx, dy, target.corner_x, target.corner_y, end[0], end[1]));
    }
    const bool hit = std::isfinite(range);
    scan.ranges.push_back(hit ? static_cast<float>(range) : kBackgroundRange);
    scan.intensities.push_back(hit ? kPlateIntensity : kBackgroundIntensity);
  }
  return scan;
}

// A scan in which nothing passes the intensity band.
inline sensor_msgs::msg::LaserScan make_empty_scan(
  const std::string & frame_id, const ScanGeometry & geometry = ScanGeometry())
{
  sensor_msgs::msg::LaserScan scan;
  scan.header.frame_id = frame_id;
  scan.angle_min = geometry.angle_min;
  scan.angle_increment = geometry.angle_increment;
  scan.angle_max = beam_angle(geometry, geometry.readings - 1);
  scan.ranges.assign(geometry.readings, 1.0f);
  scan.intensities.assign(geometry.readings, kBackgroundIntensity);
  return scan;
}

inline geometry_msgs::msg::TransformStamped make_mount_transform(
  const std::string & parent, const std::string & child, const LaserMount & mount)
{
  geometry_msgs::msg::TransformStamped transform;
  transform.header.frame_id = parent;
  transform.child_frame_id = child;
  transform.transform.translation.x = mount.x;
  transform.transform.translation.y = mount.y;
  transform.transform.rotation.z = std::sin(mount.yaw / 2.0);
  transform.transform.rotation.w = std::cos(mount.yaw / 2.0);
  return transform;
}

// Publishes the transform the way a static transform broadcaster does, so
// that a transform listener created later still receives it.
inline void publish_static_transform(
  align_test::NodeHarness & harness, const geometry_msgs::msg::TransformStamped & transform)
{
  tf2_msgs::msg::TFMessage message;
  message.transforms.push_back(transform);
  harness.publish("/tf_static", message, rclcpp::QoS(1).transient_local());
}

inline zephyrax_protocol::msg::Align make_align(std::int32_t enable)
{
  zephyrax_protocol::msg::Align message;
  message.seq = 7;
  message.enable = enable;
  message.mode = 1;
  message.timeout = 2.5f;
  return message;
}

// Lines of the node's logger whose text starts with `prefix`.
inline std::size_t count_starting_with(const align_test::LogCapture & logs, const std::string & prefix)
{
  std::size_t count = 0;
  for (const auto & record : logs.records()) {
    if (record.logger == "align_feature_node" && record.text.rfind(prefix, 0) == 0) {
      ++count;
    }
  }
  return count;
}

// Lines of the node's own logger.
inline std::size_t count_node_lines(const align_test::LogCapture & logs)
{
  return count_starting_with(logs, "");
}

inline void show_node_debug_lines()
{
  rclcpp::get_logger("align_feature_node").set_level(rclcpp::Logger::Level::Debug);
}

}  // namespace feature_test

#endif  // ALIGN_MODEL_TEST_FEATURE__FEATURE_TEST_SUPPORT_HPP_
