// rclcpp::Time: nanoseconds of one clock type; mixing clock types throws.
#include <chrono>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "checked_arithmetic.hpp"
#include "rclcpp/time.hpp"

namespace rclcpp
{

namespace
{
constexpr int64_t kNanosecondsPerSecond = 1000000000LL;

void require_same_clock(const Time & lhs, const Time & rhs, const char * operation)
{
  if (lhs.get_clock_type() != rhs.get_clock_type()) {
    throw std::runtime_error(
      std::string("can't ") + operation + " times with different time sources");
  }
}

int64_t whole_nanoseconds(int32_t seconds, uint32_t nanoseconds)
{
  if (seconds < 0) {
    throw std::runtime_error("cannot store a negative time point in rclcpp::Time");
  }
  return static_cast<int64_t>(seconds) * kNanosecondsPerSecond +
         static_cast<int64_t>(nanoseconds);
}
}  // namespace

Time::Time(int32_t seconds, uint32_t nanoseconds, rcl_clock_type_t clock_type)
: rcl_time_{whole_nanoseconds(seconds, nanoseconds), clock_type} {}

Time::Time(int64_t nanoseconds, rcl_clock_type_t clock_type)
: rcl_time_{nanoseconds, clock_type} {}

Time::Time(const Time & rhs) = default;

Time::Time(const builtin_interfaces::msg::Time & time_msg, rcl_clock_type_t clock_type)
: rcl_time_{whole_nanoseconds(time_msg.sec, time_msg.nanosec), clock_type} {}

Time::Time(const rcl_time_point_t & time_point)
: rcl_time_(time_point) {}

Time::~Time() = default;

Time::operator builtin_interfaces::msg::Time() const
{
  return detail::split_nanoseconds<builtin_interfaces::msg::Time>(rcl_time_.nanoseconds);
}

Time & Time::operator=(const Time & rhs) = default;

Time & Time::operator=(const builtin_interfaces::msg::Time & time_msg)
{
  *this = Time(time_msg);
  return *this;
}

bool Time::operator==(const Time & rhs) const
{
  require_same_clock(*this, rhs, "compare");
  return nanoseconds() == rhs.nanoseconds();
}

bool Time::operator!=(const Time & rhs) const {return !(*this == rhs);}

bool Time::operator<(const Time & rhs) const
{
  require_same_clock(*this, rhs, "compare");
  return nanoseconds() < rhs.nanoseconds();
}

bool Time::operator<=(const Time & rhs) const {return !(rhs < *this);}
bool Time::operator>=(const Time & rhs) const {return !(*this < rhs);}
bool Time::operator>(const Time & rhs) const {return rhs < *this;}

Time Time::operator+(const Duration & rhs) const
{
  return Time(detail::checked_add(nanoseconds(), rhs.nanoseconds(), "addition"), get_clock_type());
}

Duration Time::operator-(const Time & rhs) const
{
  require_same_clock(*this, rhs, "subtract");
  return Duration::from_nanoseconds(
    detail::checked_subtract(nanoseconds(), rhs.nanoseconds(), "time subtraction"));
}

Time Time::operator-(const Duration & rhs) const
{
  return Time(
    detail::checked_subtract(nanoseconds(), rhs.nanoseconds(), "time subtraction"),
    get_clock_type());
}

Time & Time::operator+=(const Duration & rhs)
{
  *this = *this + rhs;
  return *this;
}

Time & Time::operator-=(const Duration & rhs)
{
  *this = *this - rhs;
  return *this;
}

rcl_time_point_value_t Time::nanoseconds() const {return rcl_time_.nanoseconds;}

Time Time::max()
{
  return Time(std::numeric_limits<int32_t>::max(), 999999999);
}

double Time::seconds() const
{
  return std::chrono::duration<double>(std::chrono::nanoseconds(nanoseconds())).count();
}

rcl_clock_type_t Time::get_clock_type() const {return rcl_time_.clock_type;}

Time operator+(const Duration & lhs, const Time & rhs)
{
  return rhs + lhs;
}

}  // namespace rclcpp
