// rclcpp::Duration: signed nanoseconds with checked arithmetic.
#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "checked_arithmetic.hpp"
#include "rclcpp/duration.hpp"

namespace rclcpp
{

namespace
{
constexpr int64_t kNanosecondsPerSecond = 1000000000LL;
}  // namespace

Duration::Duration()
: rcl_duration_{0} {}

Duration::Duration(int32_t seconds, uint32_t nanoseconds)
: rcl_duration_{static_cast<int64_t>(seconds) * kNanosecondsPerSecond +
    static_cast<int64_t>(nanoseconds)}
{}

Duration::Duration(std::chrono::nanoseconds nanoseconds)
: rcl_duration_{nanoseconds.count()} {}

Duration::Duration(const builtin_interfaces::msg::Duration & duration_msg)
: Duration(duration_msg.sec, duration_msg.nanosec) {}

Duration::Duration(const rcl_duration_t & duration)
: rcl_duration_(duration) {}

Duration::Duration(const Duration & rhs) = default;
Duration & Duration::operator=(const Duration & rhs) = default;

Duration & Duration::operator=(const builtin_interfaces::msg::Duration & duration_msg)
{
  *this = Duration(duration_msg);
  return *this;
}

Duration::operator builtin_interfaces::msg::Duration() const
{
  return detail::split_nanoseconds<builtin_interfaces::msg::Duration>(rcl_duration_.nanoseconds);
}

bool Duration::operator==(const Duration & rhs) const {return nanoseconds() == rhs.nanoseconds();}
bool Duration::operator!=(const Duration & rhs) const {return nanoseconds() != rhs.nanoseconds();}
bool Duration::operator<(const Duration & rhs) const {return nanoseconds() < rhs.nanoseconds();}
bool Duration::operator<=(const Duration & rhs) const {return nanoseconds() <= rhs.nanoseconds();}
bool Duration::operator>=(const Duration & rhs) const {return nanoseconds() >= rhs.nanoseconds();}
bool Duration::operator>(const Duration & rhs) const {return nanoseconds() > rhs.nanoseconds();}

Duration Duration::operator+(const Duration & rhs) const
{
  return from_nanoseconds(detail::checked_add(nanoseconds(), rhs.nanoseconds(), "addition"));
}

Duration & Duration::operator+=(const Duration & rhs)
{
  *this = *this + rhs;
  return *this;
}

Duration Duration::operator-(const Duration & rhs) const
{
  return from_nanoseconds(
    detail::checked_subtract(nanoseconds(), rhs.nanoseconds(), "duration subtraction"));
}

Duration & Duration::operator-=(const Duration & rhs)
{
  *this = *this - rhs;
  return *this;
}

Duration Duration::operator*(double scale) const
{
  if (!std::isfinite(scale)) {
    throw std::runtime_error("abnormal scale in rclcpp::Duration");
  }
  return from_nanoseconds(
    detail::checked_from_double(
      static_cast<double>(nanoseconds()) * scale, "duration scaling"));
}

Duration & Duration::operator*=(double scale)
{
  *this = *this * scale;
  return *this;
}

Duration Duration::max()
{
  return Duration(std::numeric_limits<int32_t>::max(), 999999999);
}

rcl_duration_value_t Duration::nanoseconds() const
{
  return rcl_duration_.nanoseconds;
}

double Duration::seconds() const
{
  return std::chrono::duration<double>(std::chrono::nanoseconds(nanoseconds())).count();
}

Duration Duration::from_seconds(double seconds)
{
  return from_nanoseconds(
    detail::checked_from_double(std::round(seconds * 1e9), "Duration::from_seconds"));
}

Duration Duration::from_nanoseconds(rcl_duration_value_t nanoseconds)
{
  Duration duration;
  duration.rcl_duration_.nanoseconds = nanoseconds;
  return duration;
}

rmw_time_t Duration::to_rmw_time() const
{
  if (nanoseconds() <= 0) {
    return rmw_time_t{0, 0};
  }
  return rmw_time_t{
    static_cast<uint64_t>(nanoseconds() / kNanosecondsPerSecond),
    static_cast<uint64_t>(nanoseconds() % kNanosecondsPerSecond)};
}

Duration Duration::from_rmw_time(rmw_time_t duration)
{
  constexpr uint64_t kMaxSeconds =
    static_cast<uint64_t>(std::numeric_limits<int64_t>::max() / kNanosecondsPerSecond);
  if (duration.sec > kMaxSeconds) {
    return from_nanoseconds(std::numeric_limits<int64_t>::max());
  }
  const int64_t whole = static_cast<int64_t>(duration.sec) * kNanosecondsPerSecond;
  const uint64_t room = static_cast<uint64_t>(std::numeric_limits<int64_t>::max() - whole);
  if (duration.nsec > room) {
    return from_nanoseconds(std::numeric_limits<int64_t>::max());
  }
  return from_nanoseconds(whole + static_cast<int64_t>(duration.nsec));
}

}  // namespace rclcpp
