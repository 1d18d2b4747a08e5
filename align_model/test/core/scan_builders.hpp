#ifndef CORE_TEST_SCAN_BUILDERS_HPP_
#define CORE_TEST_SCAN_BUILDERS_HPP_

#include <cstddef>

#include "sensor_msgs/msg/laser_scan.hpp"

namespace align_model_test
{

// A scan whose range i is 1 + i / 1000 and intensity i, so that every copied
// reading shows where it came from.
inline sensor_msgs::msg::LaserScan make_scan(
  float angle_min, float angle_increment, std::size_t readings, std::size_t intensities)
{
  sensor_msgs::msg::LaserScan scan;
  scan.header.frame_id = "laser";
  scan.header.stamp.sec = 42;
  scan.header.stamp.nanosec = 7;
  scan.angle_min = angle_min;
  scan.angle_increment = angle_increment;
  scan.angle_max = angle_min + static_cast<float>(readings) * angle_increment;
  scan.time_increment = 0.001f;
  scan.scan_time = 0.1f;
  scan.range_min = 0.05f;
  scan.range_max = 30.0f;
  for (std::size_t i = 0; i < readings; ++i) {
    scan.ranges.push_back(1.0f + static_cast<float>(i) / 1000.0f);
  }
  for (std::size_t i = 0; i < intensities; ++i) {
    scan.intensities.push_back(static_cast<float>(i));
  }
  return scan;
}

inline sensor_msgs::msg::LaserScan make_scan(float angle_min, float angle_increment, std::size_t readings)
{
  return make_scan(angle_min, angle_increment, readings, readings);
}

}  // namespace align_model_test

#endif  // CORE_TEST_SCAN_BUILDERS_HPP_
