// rclcpp::Clock: reads the system, steady or ROS clock; a ROS clock follows
// an override value while one is active (simulated time).
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stdexcept>

#include "rclcpp/clock.hpp"
#include "rclcpp/exceptions.hpp"

namespace rclcpp
{

class Clock::Impl
{
public:
  explicit Impl(rcl_clock_type_t type)
  : clock_type(type) {}

  const rcl_clock_type_t clock_type;
  // Handed out through get_clock_mutex() for callers that serialise on it.
  std::mutex clock_mutex;

  // Guards the override and wakes sleepers when it or the context changes.
  std::mutex state_mutex;
  std::condition_variable state_changed;
  bool override_active = false;
  rcl_time_point_value_t override_nanoseconds = 0;
};

namespace
{

template<typename ChronoClockT>
rcl_time_point_value_t chrono_now()
{
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
    ChronoClockT::now().time_since_epoch()).count();
}

// Caller holds impl.state_mutex.
rcl_time_point_value_t now_locked(const Clock::Impl & impl)
{
  switch (impl.clock_type) {
    case RCL_ROS_TIME:
      return impl.override_active ? impl.override_nanoseconds :
             chrono_now<std::chrono::system_clock>();
    case RCL_SYSTEM_TIME:
      return chrono_now<std::chrono::system_clock>();
    case RCL_STEADY_TIME:
      return chrono_now<std::chrono::steady_clock>();
    case RCL_CLOCK_UNINITIALIZED:
      break;
  }
  throw exceptions::RCLError("could not get current time stamp: clock is uninitialized");
}

// Longest single wait; sleepers re-check the clock after each slice so that
// adding the wait to steady_clock::now() can never overflow.
constexpr std::chrono::hours kLongestSingleWait{24};

}  // namespace

Clock::Clock(rcl_clock_type_t clock_type)
: impl_(std::make_shared<Impl>(clock_type)) {}

Clock::~Clock() = default;

Time Clock::now()
{
  std::lock_guard<std::mutex> lock(impl_->state_mutex);
  return Time(now_locked(*impl_), impl_->clock_type);
}

bool Clock::sleep_until(Time until, Context::SharedPtr context)
{
  if (until.get_clock_type() != impl_->clock_type) {
    throw std::runtime_error("until's clock type does not match this clock's type");
  }
  if (!context || !context->is_valid()) {
    throw std::runtime_error("context cannot be slept with because it's invalid");
  }
  std::weak_ptr<Impl> weak_impl = impl_;
  const auto shutdown_handle = context->add_on_shutdown_callback(
    [weak_impl]() {
      if (auto impl = weak_impl.lock()) {
        std::lock_guard<std::mutex> lock(impl->state_mutex);
        impl->state_changed.notify_all();
      }
    });

  bool reached = false;
  {
    std::unique_lock<std::mutex> lock(impl_->state_mutex);
    while (context->is_valid()) {
      const rcl_time_point_value_t now = now_locked(*impl_);
      if (now >= until.nanoseconds()) {
        reached = true;
        break;
      }
      if (impl_->clock_type == RCL_ROS_TIME && impl_->override_active) {
        // Simulated time only moves when the override is updated.
        impl_->state_changed.wait(lock);
      } else {
        const auto remaining = std::chrono::nanoseconds(until.nanoseconds() - now);
        impl_->state_changed.wait_for(
          lock, std::min<std::chrono::nanoseconds>(remaining, kLongestSingleWait));
      }
    }
  }
  context->remove_on_shutdown_callback(shutdown_handle);
  return reached;
}

bool Clock::sleep_for(Duration rel_time, Context::SharedPtr context)
{
  return sleep_until(now() + rel_time, context);
}

bool Clock::ros_time_is_active()
{
  if (impl_->clock_type != RCL_ROS_TIME) {
    throw exceptions::RCLError(
      "Failed to check ros_time_override_status: clock is not of type RCL_ROS_TIME");
  }
  std::lock_guard<std::mutex> lock(impl_->state_mutex);
  return impl_->override_active;
}

rcl_clock_type_t Clock::get_clock_type() const noexcept
{
  return impl_->clock_type;
}

std::mutex & Clock::get_clock_mutex() noexcept
{
  return impl_->clock_mutex;
}

namespace detail
{

void set_ros_time_override(Clock & clock, bool active, rcl_time_point_value_t nanoseconds)
{
  Clock::Impl & impl = *clock.impl_;
  if (impl.clock_type != RCL_ROS_TIME) {
    return;
  }
  std::lock_guard<std::mutex> lock(impl.state_mutex);
  impl.override_active = active;
  impl.override_nanoseconds = nanoseconds;
  impl.state_changed.notify_all();
}

}  // namespace detail

}  // namespace rclcpp
