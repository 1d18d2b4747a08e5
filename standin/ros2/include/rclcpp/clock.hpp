// Stand-in for rclcpp/clock.hpp. A RCL_ROS_TIME clock reads the system clock
// unless a ROS-time override is active (the node layer's sim-time source
// drives it through rclcpp::detail::set_ros_time_override). Copies of a
// Clock share one state.
#ifndef STANDIN_RCLCPP__CLOCK_HPP_
#define STANDIN_RCLCPP__CLOCK_HPP_

#include <memory>
#include <mutex>

#include "rcl/time.h"
#include "rclcpp/context.hpp"
#include "rclcpp/contexts/default_context.hpp"
#include "rclcpp/duration.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/time.hpp"

namespace rclcpp
{

class Clock;

namespace detail
{
// Stand-in internal: makes a RCL_ROS_TIME clock (and its copies) report
// `nanoseconds` while `active`; with active == false the clock follows the
// system clock again. Wakes threads sleeping on the clock. Ignored for other
// clock types. Thread-safe.
void set_ros_time_override(Clock & clock, bool active, rcl_time_point_value_t nanoseconds);
}  // namespace detail

class Clock
{
public:
  RCLCPP_SMART_PTR_DEFINITIONS(Clock)

  explicit Clock(rcl_clock_type_t clock_type = RCL_SYSTEM_TIME);
  ~Clock();

  // Non-const, as in this rclcpp release.
  Time now();

  // Return false when the context shut down before `until` was reached, or
  // when the clock type of `until` differs (that throws std::runtime_error in
  // rclcpp, and does so here too).
  bool sleep_until(
    Time until,
    Context::SharedPtr context = contexts::get_global_default_context());
  bool sleep_for(
    Duration rel_time,
    Context::SharedPtr context = contexts::get_global_default_context());

  // True for a RCL_ROS_TIME clock whose override is active.
  bool ros_time_is_active();

  rcl_clock_type_t get_clock_type() const noexcept;

  std::mutex & get_clock_mutex() noexcept;

  class Impl;

private:
  friend void detail::set_ros_time_override(Clock &, bool, rcl_time_point_value_t);

  std::shared_ptr<Impl> impl_;
};

}  // namespace rclcpp

#endif  // STANDIN_RCLCPP__CLOCK_HPP_
