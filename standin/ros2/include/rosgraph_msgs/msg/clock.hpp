// Stand-in for the generated interface rosgraph_msgs/msg/Clock: same fields, types and defaults.
#ifndef STANDIN_ROSGRAPH_MSGS__MSG__CLOCK_HPP_
#define STANDIN_ROSGRAPH_MSGS__MSG__CLOCK_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "builtin_interfaces/msg/time.hpp"

namespace rosgraph_msgs
{
namespace msg
{

struct Clock
{
  using Type = Clock;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Clock(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Clock>;
  using ConstSharedPtr = std::shared_ptr<const Clock>;
  using UniquePtr = std::unique_ptr<Clock>;
  using ConstUniquePtr = std::unique_ptr<const Clock>;
  using WeakPtr = std::weak_ptr<Clock>;
  using ConstWeakPtr = std::weak_ptr<const Clock>;

  using _clock_type = builtin_interfaces::msg::Time;
  builtin_interfaces::msg::Time clock;

  bool operator==(const Clock & other) const
  {
    return clock == other.clock;
  }
  bool operator!=(const Clock & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace rosgraph_msgs

namespace rosidl_generator_traits
{
template<>
inline const char * name<rosgraph_msgs::msg::Clock>() {return "rosgraph_msgs/msg/Clock";}
template<>
inline const char * data_type<rosgraph_msgs::msg::Clock>() {return "rosgraph_msgs::msg::Clock";}
template<>
struct is_message<rosgraph_msgs::msg::Clock>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_ROSGRAPH_MSGS__MSG__CLOCK_HPP_
