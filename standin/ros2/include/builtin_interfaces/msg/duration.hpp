// Stand-in for the generated interface builtin_interfaces/msg/Duration: same fields, types and defaults.
#ifndef STANDIN_BUILTIN_INTERFACES__MSG__DURATION_HPP_
#define STANDIN_BUILTIN_INTERFACES__MSG__DURATION_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace builtin_interfaces
{
namespace msg
{

struct Duration
{
  using Type = Duration;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Duration(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Duration>;
  using ConstSharedPtr = std::shared_ptr<const Duration>;
  using UniquePtr = std::unique_ptr<Duration>;
  using ConstUniquePtr = std::unique_ptr<const Duration>;
  using WeakPtr = std::weak_ptr<Duration>;
  using ConstWeakPtr = std::weak_ptr<const Duration>;

  using _sec_type = int32_t;
  int32_t sec{0};
  using _nanosec_type = uint32_t;
  uint32_t nanosec{0};

  bool operator==(const Duration & other) const
  {
    return sec == other.sec &&
      nanosec == other.nanosec;
  }
  bool operator!=(const Duration & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace builtin_interfaces

namespace rosidl_generator_traits
{
template<>
inline const char * name<builtin_interfaces::msg::Duration>() {return "builtin_interfaces/msg/Duration";}
template<>
inline const char * data_type<builtin_interfaces::msg::Duration>() {return "builtin_interfaces::msg::Duration";}
template<>
struct is_message<builtin_interfaces::msg::Duration>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_BUILTIN_INTERFACES__MSG__DURATION_HPP_
