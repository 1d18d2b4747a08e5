// Stand-in for the generated interface rcl_interfaces/msg/IntegerRange: same fields, types and defaults.
#ifndef STANDIN_RCL_INTERFACES__MSG__INTEGER_RANGE_HPP_
#define STANDIN_RCL_INTERFACES__MSG__INTEGER_RANGE_HPP_

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

struct IntegerRange
{
  using Type = IntegerRange;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit IntegerRange(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<IntegerRange>;
  using ConstSharedPtr = std::shared_ptr<const IntegerRange>;
  using UniquePtr = std::unique_ptr<IntegerRange>;
  using ConstUniquePtr = std::unique_ptr<const IntegerRange>;
  using WeakPtr = std::weak_ptr<IntegerRange>;
  using ConstWeakPtr = std::weak_ptr<const IntegerRange>;

  using _from_value_type = int64_t;
  int64_t from_value{0};
  using _to_value_type = int64_t;
  int64_t to_value{0};
  using _step_type = uint64_t;
  uint64_t step{0};

  bool operator==(const IntegerRange & other) const
  {
    return from_value == other.from_value &&
      to_value == other.to_value &&
      step == other.step;
  }
  bool operator!=(const IntegerRange & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace rcl_interfaces

namespace rosidl_generator_traits
{
template<>
inline const char * name<rcl_interfaces::msg::IntegerRange>() {return "rcl_interfaces/msg/IntegerRange";}
template<>
inline const char * data_type<rcl_interfaces::msg::IntegerRange>() {return "rcl_interfaces::msg::IntegerRange";}
template<>
struct is_message<rcl_interfaces::msg::IntegerRange>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_RCL_INTERFACES__MSG__INTEGER_RANGE_HPP_
