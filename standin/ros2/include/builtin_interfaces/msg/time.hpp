// Stand-in for the generated interface builtin_interfaces/msg/Time: same fields, types and defaults.
#ifndef STANDIN_BUILTIN_INTERFACES__MSG__TIME_HPP_
#define STANDIN_BUILTIN_INTERFACES__MSG__TIME_HPP_

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

struct Time
{
  using Type = Time;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Time(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Time>;
  using ConstSharedPtr = std::shared_ptr<const Time>;
  using UniquePtr = std::unique_ptr<Time>;
  using ConstUniquePtr = std::unique_ptr<const Time>;
  using WeakPtr = std::weak_ptr<Time>;
  using ConstWeakPtr = std::weak_ptr<const Time>;

  using _sec_type = int32_t;
  int32_t sec{0};
  using _nanosec_type = uint32_t;
  uint32_t nanosec{0};

  bool operator==(const Time & other) const
  {
    return sec == other.sec &&
      nanosec == other.nanosec;
  }
  bool operator!=(const Time & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace builtin_interfaces

namespace rosidl_generator_traits
{
template<>
inline const char * name<builtin_interfaces::msg::Time>() {return "builtin_interfaces/msg/Time";}
template<>
inline const char * data_type<builtin_interfaces::msg::Time>() {return "builtin_interfaces::msg::Time";}
template<>
struct is_message<builtin_interfaces::msg::Time>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_BUILTIN_INTERFACES__MSG__TIME_HPP_
