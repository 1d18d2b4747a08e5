// Stand-in for the generated interface sensor_msgs/msg/LaserScan: same fields, types and defaults.
#ifndef STANDIN_SENSOR_MSGS__MSG__LASER_SCAN_HPP_
#define STANDIN_SENSOR_MSGS__MSG__LASER_SCAN_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "std_msgs/msg/header.hpp"

namespace sensor_msgs
{
namespace msg
{

struct LaserScan
{
  using Type = LaserScan;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit LaserScan(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<LaserScan>;
  using ConstSharedPtr = std::shared_ptr<const LaserScan>;
  using UniquePtr = std::unique_ptr<LaserScan>;
  using ConstUniquePtr = std::unique_ptr<const LaserScan>;
  using WeakPtr = std::weak_ptr<LaserScan>;
  using ConstWeakPtr = std::weak_ptr<const LaserScan>;

  using _header_type = std_msgs::msg::Header;
  std_msgs::msg::Header header;
  using _angle_min_type = float;
  float angle_min{0.0f};
  using _angle_max_type = float;
  float angle_max{0.0f};
  using _angle_increment_type = float;
  float angle_increment{0.0f};
  using _time_increment_type = float;
  float time_increment{0.0f};
  using _scan_time_type = float;
  float scan_time{0.0f};
  using _range_min_type = float;
  float range_min{0.0f};
  using _range_max_type = float;
  float range_max{0.0f};
  using _ranges_type = std::vector<float>;
  std::vector<float> ranges;
  using _intensities_type = std::vector<float>;
  std::vector<float> intensities;

  bool operator==(const LaserScan & other) const
  {
    return header == other.header &&
      angle_min == other.angle_min &&
      angle_max == other.angle_max &&
      angle_increment == other.angle_increment &&
      time_increment == other.time_increment &&
      scan_time == other.scan_time &&
      range_min == other.range_min &&
      range_max == other.range_max &&
      ranges == other.ranges &&
      intensities == other.intensities;
  }
  bool operator!=(const LaserScan & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace sensor_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<sensor_msgs::msg::LaserScan>() {return "sensor_msgs/msg/LaserScan";}
template<>
inline const char * data_type<sensor_msgs::msg::LaserScan>() {return "sensor_msgs::msg::LaserScan";}
template<>
struct is_message<sensor_msgs::msg::LaserScan>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_SENSOR_MSGS__MSG__LASER_SCAN_HPP_
