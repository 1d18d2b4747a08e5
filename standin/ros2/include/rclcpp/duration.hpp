// Stand-in for rclcpp/duration.hpp: a signed span of nanoseconds.
#ifndef STANDIN_RCLCPP__DURATION_HPP_
#define STANDIN_RCLCPP__DURATION_HPP_

#include <chrono>
#include <cstdint>

#include "builtin_interfaces/msg/duration.hpp"
#include "rcl/time.h"
#include "rmw/time.h"

namespace rclcpp
{

class Duration
{
public:
  Duration(int32_t seconds, uint32_t nanoseconds);
  explicit Duration(std::chrono::nanoseconds nanoseconds);

  template<class Rep, class Period>
  // cppcheck-suppress noExplicitConstructor
  Duration(const std::chrono::duration<Rep, Period> & duration)  // NOLINT(runtime/explicit)
  : Duration(std::chrono::duration_cast<std::chrono::nanoseconds>(duration))
  {}

  // cppcheck-suppress noExplicitConstructor
  Duration(const builtin_interfaces::msg::Duration & duration_msg);  // NOLINT(runtime/explicit)
  explicit Duration(const rcl_duration_t & duration);

  Duration(const Duration & rhs);
  virtual ~Duration() = default;

  operator builtin_interfaces::msg::Duration() const;

  Duration & operator=(const Duration & rhs);
  Duration & operator=(const builtin_interfaces::msg::Duration & duration_msg);

  bool operator==(const rclcpp::Duration & rhs) const;
  bool operator!=(const rclcpp::Duration & rhs) const;
  bool operator<(const rclcpp::Duration & rhs) const;
  bool operator<=(const rclcpp::Duration & rhs) const;
  bool operator>=(const rclcpp::Duration & rhs) const;
  bool operator>(const rclcpp::Duration & rhs) const;

  // Arithmetic throws std::overflow_error / std::underflow_error when the
  // result leaves the int64 nanosecond range.
  Duration operator+(const rclcpp::Duration & rhs) const;
  Duration & operator+=(const rclcpp::Duration & rhs);
  Duration operator-(const rclcpp::Duration & rhs) const;
  Duration & operator-=(const rclcpp::Duration & rhs);
  Duration operator*(double scale) const;
  Duration & operator*=(double scale);

  static Duration max();

  rcl_duration_value_t nanoseconds() const;
  double seconds() const;

  static Duration from_seconds(double seconds);
  static Duration from_nanoseconds(rcl_duration_value_t nanoseconds);

  template<class DurationT>
  DurationT to_chrono() const
  {
    return std::chrono::duration_cast<DurationT>(std::chrono::nanoseconds(nanoseconds()));
  }

  // Negative durations become zero; used by the QoS setters.
  rmw_time_t to_rmw_time() const;
  static Duration from_rmw_time(rmw_time_t duration);

private:
  friend class Time;
  Duration();

  rcl_duration_t rcl_duration_;
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__DURATION_HPP_
