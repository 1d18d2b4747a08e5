// Stand-in for the generated interface rcl_interfaces/msg/ParameterValue: same fields, types and defaults.
#ifndef STANDIN_RCL_INTERFACES__MSG__PARAMETER_VALUE_HPP_
#define STANDIN_RCL_INTERFACES__MSG__PARAMETER_VALUE_HPP_

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

struct ParameterValue
{
  using Type = ParameterValue;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit ParameterValue(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<ParameterValue>;
  using ConstSharedPtr = std::shared_ptr<const ParameterValue>;
  using UniquePtr = std::unique_ptr<ParameterValue>;
  using ConstUniquePtr = std::unique_ptr<const ParameterValue>;
  using WeakPtr = std::weak_ptr<ParameterValue>;
  using ConstWeakPtr = std::weak_ptr<const ParameterValue>;

  using _type_type = uint8_t;
  uint8_t type{0};
  using _bool_value_type = bool;
  bool bool_value{false};
  using _integer_value_type = int64_t;
  int64_t integer_value{0};
  using _double_value_type = double;
  double double_value{0.0};
  using _string_value_type = std::string;
  std::string string_value;
  using _byte_array_value_type = std::vector<uint8_t>;
  std::vector<uint8_t> byte_array_value;
  using _bool_array_value_type = std::vector<bool>;
  std::vector<bool> bool_array_value;
  using _integer_array_value_type = std::vector<int64_t>;
  std::vector<int64_t> integer_array_value;
  using _double_array_value_type = std::vector<double>;
  std::vector<double> double_array_value;
  using _string_array_value_type = std::vector<std::string>;
  std::vector<std::string> string_array_value;

  bool operator==(const ParameterValue & other) const
  {
    return type == other.type &&
      bool_value == other.bool_value &&
      integer_value == other.integer_value &&
      double_value == other.double_value &&
      string_value == other.string_value &&
      byte_array_value == other.byte_array_value &&
      bool_array_value == other.bool_array_value &&
      integer_array_value == other.integer_array_value &&
      double_array_value == other.double_array_value &&
      string_array_value == other.string_array_value;
  }
  bool operator!=(const ParameterValue & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace rcl_interfaces

namespace rosidl_generator_traits
{
template<>
inline const char * name<rcl_interfaces::msg::ParameterValue>() {return "rcl_interfaces/msg/ParameterValue";}
template<>
inline const char * data_type<rcl_interfaces::msg::ParameterValue>() {return "rcl_interfaces::msg::ParameterValue";}
template<>
struct is_message<rcl_interfaces::msg::ParameterValue>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_RCL_INTERFACES__MSG__PARAMETER_VALUE_HPP_
