// Overflow-checked int64 nanosecond arithmetic shared by Time and Duration.
#ifndef STANDIN_SRC__CHECKED_ARITHMETIC_HPP_
#define STANDIN_SRC__CHECKED_ARITHMETIC_HPP_

#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>

namespace rclcpp
{
namespace detail
{

inline int64_t checked_add(int64_t lhs, int64_t rhs, const char * what)
{
  if (rhs > 0 && lhs > std::numeric_limits<int64_t>::max() - rhs) {
    throw std::overflow_error(std::string(what) + " leads to int64_t overflow");
  }
  if (rhs < 0 && lhs < std::numeric_limits<int64_t>::min() - rhs) {
    throw std::underflow_error(std::string(what) + " leads to int64_t underflow");
  }
  return lhs + rhs;
}

inline int64_t checked_subtract(int64_t lhs, int64_t rhs, const char * what)
{
  if (rhs < 0 && lhs > std::numeric_limits<int64_t>::max() + rhs) {
    throw std::overflow_error(std::string(what) + " leads to int64_t overflow");
  }
  if (rhs > 0 && lhs < std::numeric_limits<int64_t>::min() + rhs) {
    throw std::underflow_error(std::string(what) + " leads to int64_t underflow");
  }
  return lhs - rhs;
}

// Rounds a double to int64 nanoseconds without leaving the representable range
// (converting an out-of-range double is undefined behaviour).
inline int64_t checked_from_double(double nanoseconds, const char * what)
{
  if (nanoseconds != nanoseconds) {
    throw std::runtime_error(std::string(what) + " is not a number");
  }
  // 2^63 is exactly representable; every double below it converts safely.
  constexpr double kLimit = 9223372036854775808.0;
  if (nanoseconds >= kLimit) {
    throw std::overflow_error(std::string(what) + " leads to int64_t overflow");
  }
  if (nanoseconds < -kLimit) {
    throw std::underflow_error(std::string(what) + " leads to int64_t underflow");
  }
  return static_cast<int64_t>(nanoseconds);
}

// Splits nanoseconds into whole seconds (floored) and nanoseconds in [0, 1e9).
template<typename MessageT>
MessageT split_nanoseconds(int64_t nanoseconds)
{
  constexpr int64_t kPerSecond = 1000000000LL;
  int64_t seconds = nanoseconds / kPerSecond;
  int64_t remainder = nanoseconds % kPerSecond;
  if (remainder < 0) {
    remainder += kPerSecond;
    seconds -= 1;
  }
  MessageT message;
  message.sec = static_cast<int32_t>(seconds);
  message.nanosec = static_cast<uint32_t>(remainder);
  return message;
}

}  // namespace detail
}  // namespace rclcpp

#endif  // STANDIN_SRC__CHECKED_ARITHMETIC_HPP_
