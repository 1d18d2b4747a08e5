// Conversions between tf2 and ROS time types, and the interface of a transform
// buffer whose lookups may wait for data.
#ifndef TF2_ROS__BUFFER_INTERFACE_H_
#define TF2_ROS__BUFFER_INTERFACE_H_

#include <chrono>
#include <cstdint>
#include <string>

#include "builtin_interfaces/msg/duration.hpp"
#include "builtin_interfaces/msg/time.hpp"
#include "geometry_msgs/msg/transform_stamped.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/time.hpp"
#include "tf2/exceptions.h"
#include "tf2/time.h"

namespace tf2_ros
{

namespace detail
{

constexpr int64_t kNanosecondsPerSecond = 1000000000LL;

// Splits nanoseconds into whole seconds (rounded down) and a remainder in [0, 1e9).
inline void split_nanoseconds(int64_t count, int32_t & sec, uint32_t & nanosec)
{
  int64_t whole = count / kNanosecondsPerSecond;
  int64_t rest = count % kNanosecondsPerSecond;
  if (rest < 0) {
    whole -= 1;
    rest += kNanosecondsPerSecond;
  }
  sec = static_cast<int32_t>(whole);
  nanosec = static_cast<uint32_t>(rest);
}

}  // namespace detail

inline builtin_interfaces::msg::Time toMsg(const tf2::TimePoint & t)
{
  builtin_interfaces::msg::Time time_msg;
  detail::split_nanoseconds(t.time_since_epoch().count(), time_msg.sec, time_msg.nanosec);
  return time_msg;
}

inline tf2::TimePoint fromMsg(const builtin_interfaces::msg::Time & time_msg)
{
  return tf2::TimePoint(std::chrono::seconds(time_msg.sec) + std::chrono::nanoseconds(time_msg.nanosec));
}

inline builtin_interfaces::msg::Duration toMsg(const tf2::Duration & t)
{
  builtin_interfaces::msg::Duration duration_msg;
  detail::split_nanoseconds(t.count(), duration_msg.sec, duration_msg.nanosec);
  return duration_msg;
}

inline tf2::Duration fromMsg(const builtin_interfaces::msg::Duration & duration_msg)
{
  return std::chrono::seconds(duration_msg.sec) + std::chrono::nanoseconds(duration_msg.nanosec);
}

inline double timeToSec(const builtin_interfaces::msg::Time & time_msg)
{
  return static_cast<double>(time_msg.sec) + 1e-9 * static_cast<double>(time_msg.nanosec);
}

// The clock type of the rclcpp time is not kept: tf2 time points carry none.
inline tf2::TimePoint fromRclcpp(const rclcpp::Time & time)
{
  return tf2::TimePoint(std::chrono::nanoseconds(time.nanoseconds()));
}

inline rclcpp::Time toRclcpp(const tf2::TimePoint & time)
{
  return rclcpp::Time(std::chrono::nanoseconds(time.time_since_epoch()).count());
}

inline tf2::Duration fromRclcpp(const rclcpp::Duration & duration)
{
  return tf2::Duration(std::chrono::nanoseconds(duration.nanoseconds()));
}

inline rclcpp::Duration toRclcpp(const tf2::Duration & duration)
{
  return rclcpp::Duration(std::chrono::duration_cast<std::chrono::nanoseconds>(duration));
}

class BufferInterface
{
public:
  virtual ~BufferInterface() = default;

  virtual geometry_msgs::msg::TransformStamped
  lookupTransform(
    const std::string & target_frame, const std::string & source_frame,
    const tf2::TimePoint & time, const tf2::Duration timeout) const = 0;

  virtual geometry_msgs::msg::TransformStamped
  lookupTransform(
    const std::string & target_frame, const tf2::TimePoint & target_time,
    const std::string & source_frame, const tf2::TimePoint & source_time,
    const std::string & fixed_frame, const tf2::Duration timeout) const = 0;

  virtual bool
  canTransform(
    const std::string & target_frame, const std::string & source_frame,
    const tf2::TimePoint & time, const tf2::Duration timeout,
    std::string * errstr = NULL) const = 0;

  virtual bool
  canTransform(
    const std::string & target_frame, const tf2::TimePoint & target_time,
    const std::string & source_frame, const tf2::TimePoint & source_time,
    const std::string & fixed_frame, const tf2::Duration timeout,
    std::string * errstr = NULL) const = 0;
};

}  // namespace tf2_ros

#endif  // TF2_ROS__BUFFER_INTERFACE_H_
