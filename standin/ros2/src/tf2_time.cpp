#include "tf2/time.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace tf2
{

namespace
{

constexpr int64_t kNanosecondsPerSecond = 1000000000LL;

// Whole seconds must fit the int32 of a time message; clamping instead of casting
// keeps NaN and huge inputs from turning into undefined behaviour.
double clamp_to_int32_seconds(double t_sec)
{
  if (std::isnan(t_sec)) {
    return 0.0;
  }
  const double lowest = static_cast<double>(std::numeric_limits<int32_t>::min());
  const double highest = static_cast<double>(std::numeric_limits<int32_t>::max());
  return std::fmin(std::fmax(t_sec, lowest), highest);
}

}  // namespace

TimePoint get_now()
{
  return TimePoint(
    std::chrono::duration_cast<Duration>(std::chrono::system_clock::now().time_since_epoch()));
}

Duration durationFromSec(double t_sec)
{
  t_sec = clamp_to_int32_seconds(t_sec);
  const int64_t sec = static_cast<int64_t>(std::floor(t_sec));
  int64_t nsec = static_cast<int64_t>(std::round((t_sec - static_cast<double>(sec)) * 1e9));
  // Rounding may yield a full second of nanoseconds; carry it.
  const int64_t carried_sec = sec + nsec / kNanosecondsPerSecond;
  nsec %= kNanosecondsPerSecond;
  return std::chrono::seconds(carried_sec) + std::chrono::nanoseconds(nsec);
}

TimePoint timeFromSec(double t_sec)
{
  return TimePoint(durationFromSec(t_sec));
}

double durationToSec(const tf2::Duration & input)
{
  const int64_t count = input.count();
  const int64_t nsec = count % kNanosecondsPerSecond;
  const int64_t sec = (count - nsec) / kNanosecondsPerSecond;
  return static_cast<double>(sec) + 1e-9 * static_cast<double>(nsec);
}

double timeToSec(const TimePoint & timepoint)
{
  return durationToSec(Duration(timepoint.time_since_epoch()));
}

std::string displayTimePoint(const TimePoint & stamp)
{
  char buffer[64];
  std::snprintf(buffer, sizeof(buffer), "%.6f", timeToSec(stamp));
  return std::string(buffer);
}

}  // namespace tf2
