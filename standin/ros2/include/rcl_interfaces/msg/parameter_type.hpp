// Stand-in for the generated interface rcl_interfaces/msg/ParameterType: same fields, types and defaults.
#ifndef STANDIN_RCL_INTERFACES__MSG__PARAMETER_TYPE_HPP_
#define STANDIN_RCL_INTERFACES__MSG__PARAMETER_TYPE_HPP_

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

struct ParameterType
{
  using Type = ParameterType;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit ParameterType(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<ParameterType>;
  using ConstSharedPtr = std::shared_ptr<const ParameterType>;
  using UniquePtr = std::unique_ptr<ParameterType>;
  using ConstUniquePtr = std::unique_ptr<const ParameterType>;
  using WeakPtr = std::weak_ptr<ParameterType>;
  using ConstWeakPtr = std::weak_ptr<const ParameterType>;

  static constexpr uint8_t PARAMETER_NOT_SET = 0;
  static constexpr uint8_t PARAMETER_BOOL = 1;
  static constexpr uint8_t PARAMETER_INTEGER = 2;
  static constexpr uint8_t PARAMETER_DOUBLE = 3;
  static constexpr uint8_t PARAMETER_STRING = 4;
  static constexpr uint8_t PARAMETER_BYTE_ARRAY = 5;
  static constexpr uint8_t PARAMETER_BOOL_ARRAY = 6;
  static constexpr uint8_t PARAMETER_INTEGER_ARRAY = 7;
  static constexpr uint8_t PARAMETER_DOUBLE_ARRAY = 8;
  static constexpr uint8_t PARAMETER_STRING_ARRAY = 9;

  using _structure_needs_at_least_one_member_type = uint8_t;
  uint8_t structure_needs_at_least_one_member{0};

  bool operator==(const ParameterType & other) const
  {
    return structure_needs_at_least_one_member == other.structure_needs_at_least_one_member;
  }
  bool operator!=(const ParameterType & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace rcl_interfaces

namespace rosidl_generator_traits
{
template<>
inline const char * name<rcl_interfaces::msg::ParameterType>() {return "rcl_interfaces/msg/ParameterType";}
template<>
inline const char * data_type<rcl_interfaces::msg::ParameterType>() {return "rcl_interfaces::msg::ParameterType";}
template<>
struct is_message<rcl_interfaces::msg::ParameterType>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_RCL_INTERFACES__MSG__PARAMETER_TYPE_HPP_
