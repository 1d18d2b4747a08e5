// Stand-in for rclcpp/time.hpp: a point in time of one clock type.
#ifndef STANDIN_RCLCPP__TIME_HPP_
#define STANDIN_RCLCPP__TIME_HPP_

#include <cstdint>

#include "builtin_interfaces/msg/time.hpp"
#include "rcl/time.h"
#include "rclcpp/duration.hpp"

namespace rclcpp
{

class Clock;

class Time
{
public:
  // Throws std::runtime_error for negative seconds.
  Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);
  explicit Time(int64_t nanoseconds = 0, rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);
  Time(const Time & rhs);
  // Throws std::runtime_error for negative seconds in the message.
  // cppcheck-suppress noExplicitConstructor
  Time(  // NOLINT(runtime/explicit)
    const builtin_interfaces::msg::Time & time_msg,
    rcl_clock_type_t clock_type = RCL_ROS_TIME);
  explicit Time(const rcl_time_point_t & time_point);
  virtual ~Time();

  operator builtin_interfaces::msg::Time() const;

  Time & operator=(const Time & rhs);
  // The result is ROS time, as in rclcpp.
  Time & operator=(const builtin_interfaces::msg::Time & time_msg);

  // Comparisons between different clock types throw std::runtime_error.
  bool operator==(const rclcpp::Time & rhs) const;
  bool operator!=(const rclcpp::Time & rhs) const;
  bool operator<(const rclcpp::Time & rhs) const;
  bool operator<=(const rclcpp::Time & rhs) const;
  bool operator>=(const rclcpp::Time & rhs) const;
  bool operator>(const rclcpp::Time & rhs) const;

  // Throws std::overflow_error / std::underflow_error on int64 overflow;
  // subtracting times of different clock types throws std::runtime_error.
  Time operator+(const rclcpp::Duration & rhs) const;
  Duration operator-(const rclcpp::Time & rhs) const;
  Time operator-(const rclcpp::Duration & rhs) const;
  Time & operator+=(const rclcpp::Duration & rhs);
  Time & operator-=(const rclcpp::Duration & rhs);

  rcl_time_point_value_t nanoseconds() const;
  static Time max();
  double seconds() const;
  rcl_clock_type_t get_clock_type() const;

private:
  rcl_time_point_t rcl_time_;
  friend Clock;
};

Time operator+(const rclcpp::Duration & lhs, const rclcpp::Time & rhs);

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__TIME_HPP_
