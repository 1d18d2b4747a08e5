// Stand-in for the generated interface rcl_interfaces/msg/FloatingPointRange: same fields, types and defaults.
#ifndef STANDIN_RCL_INTERFACES__MSG__FLOATING_POINT_RANGE_HPP_
#define STANDIN_RCL_INTERFACES__MSG__FLOATING_POINT_RANGE_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"

namespace rcl_interfaces
{
namespace msg
{

struct FloatingPointRange
{
  using Type = FloatingPointRange;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit FloatingPointRange(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<FloatingPointRange>;
  using ConstSharedPtr = std::shared_ptr<const FloatingPointRange>;
  using UniquePtr = std::unique_ptr<FloatingPointRange>;
  using ConstUniquePtr = std::unique_ptr<const FloatingPointRange>;
  using WeakPtr = std::weak_ptr<FloatingPointRange>;
  using ConstWeakPtr = std::weak_ptr<const FloatingPointRange>;

  using _from_value_type = double;
  double from_value{0.0};
  using _to_value_type = double;
  double to_value{0.0};
  using _step_type = double;
  double step{0.0};

  bool operator==(const FloatingPointRange & other) const
  {
    return from_value == other.from_value &&
      to_value == other.to_value &&
      step == other.step;
  }
  bool operator!=(const FloatingPointRange & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace rcl_interfaces

namespace rosidl_generator_traits
{
template<>
inline const char * name<rcl_interfaces::msg::FloatingPointRange>() {return "rcl_interfaces/msg/FloatingPointRange";}
template<>
inline const char * data_type<rcl_interfaces::msg::FloatingPointRange>() {return "rcl_interfaces::msg::FloatingPointRange";}
template<>
struct is_message<rcl_interfaces::msg::FloatingPointRange>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_RCL_INTERFACES__MSG__FLOATING_POINT_RANGE_HPP_
