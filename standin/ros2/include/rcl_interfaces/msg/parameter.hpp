// Stand-in for the generated interface rcl_interfaces/msg/Parameter: same fields, types and defaults.
#ifndef STANDIN_RCL_INTERFACES__MSG__PARAMETER_HPP_
#define STANDIN_RCL_INTERFACES__MSG__PARAMETER_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "rcl_interfaces/msg/parameter_value.hpp"

namespace rcl_interfaces
{
namespace msg
{

struct Parameter
{
  using Type = Parameter;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit Parameter(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<Parameter>;
  using ConstSharedPtr = std::shared_ptr<const Parameter>;
  using UniquePtr = std::unique_ptr<Parameter>;
  using ConstUniquePtr = std::unique_ptr<const Parameter>;
  using WeakPtr = std::weak_ptr<Parameter>;
  using ConstWeakPtr = std::weak_ptr<const Parameter>;

  using _name_type = std::string;
  std::string name;
  using _value_type = rcl_interfaces::msg::ParameterValue;
  rcl_interfaces::msg::ParameterValue value;

  bool operator==(const Parameter & other) const
  {
    return name == other.name &&
      value == other.value;
  }
  bool operator!=(const Parameter & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace rcl_interfaces

namespace rosidl_generator_traits
{
template<>
inline const char * name<rcl_interfaces::msg::Parameter>() {return "rcl_interfaces/msg/Parameter";}
template<>
inline const char * data_type<rcl_interfaces::msg::Parameter>() {return "rcl_interfaces::msg::Parameter";}
template<>
struct is_message<rcl_interfaces::msg::Parameter>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_RCL_INTERFACES__MSG__PARAMETER_HPP_
