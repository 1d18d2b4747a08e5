// Stand-in for the generated interface rcl_interfaces/msg/ParameterDescriptor: same fields, types and defaults.
#ifndef STANDIN_RCL_INTERFACES__MSG__PARAMETER_DESCRIPTOR_HPP_
#define STANDIN_RCL_INTERFACES__MSG__PARAMETER_DESCRIPTOR_HPP_

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "rosidl_runtime_cpp/message_initialization.hpp"
#include "rosidl_runtime_cpp/traits.hpp"
#include "rosidl_runtime_cpp/bounded_vector.hpp"
#include "rcl_interfaces/msg/floating_point_range.hpp"
#include "rcl_interfaces/msg/integer_range.hpp"

namespace rcl_interfaces
{
namespace msg
{

struct ParameterDescriptor
{
  using Type = ParameterDescriptor;
  // Generated messages have explicit constructors: no copy-list-initialisation.
  explicit ParameterDescriptor(
    rosidl_runtime_cpp::MessageInitialization = rosidl_runtime_cpp::MessageInitialization::ALL)
  {}
  using SharedPtr = std::shared_ptr<ParameterDescriptor>;
  using ConstSharedPtr = std::shared_ptr<const ParameterDescriptor>;
  using UniquePtr = std::unique_ptr<ParameterDescriptor>;
  using ConstUniquePtr = std::unique_ptr<const ParameterDescriptor>;
  using WeakPtr = std::weak_ptr<ParameterDescriptor>;
  using ConstWeakPtr = std::weak_ptr<const ParameterDescriptor>;

  using _name_type = std::string;
  std::string name;
  using _type_type = uint8_t;
  uint8_t type{0};
  using _description_type = std::string;
  std::string description;
  using _additional_constraints_type = std::string;
  std::string additional_constraints;
  using _read_only_type = bool;
  bool read_only{false};
  using _dynamic_typing_type = bool;
  bool dynamic_typing{false};
  using _floating_point_range_type = rosidl_runtime_cpp::BoundedVector<rcl_interfaces::msg::FloatingPointRange, 1>;
  rosidl_runtime_cpp::BoundedVector<rcl_interfaces::msg::FloatingPointRange, 1> floating_point_range;
  using _integer_range_type = rosidl_runtime_cpp::BoundedVector<rcl_interfaces::msg::IntegerRange, 1>;
  rosidl_runtime_cpp::BoundedVector<rcl_interfaces::msg::IntegerRange, 1> integer_range;

  bool operator==(const ParameterDescriptor & other) const
  {
    return name == other.name &&
      type == other.type &&
      description == other.description &&
      additional_constraints == other.additional_constraints &&
      read_only == other.read_only &&
      dynamic_typing == other.dynamic_typing &&
      floating_point_range == other.floating_point_range &&
      integer_range == other.integer_range;
  }
  bool operator!=(const ParameterDescriptor & other) const {return !(*this == other);}
};

}  // namespace msg
}  // namespace rcl_interfaces

namespace rosidl_generator_traits
{
template<>
inline const char * name<rcl_interfaces::msg::ParameterDescriptor>() {return "rcl_interfaces/msg/ParameterDescriptor";}
template<>
inline const char * data_type<rcl_interfaces::msg::ParameterDescriptor>() {return "rcl_interfaces::msg::ParameterDescriptor";}
template<>
struct is_message<rcl_interfaces::msg::ParameterDescriptor>: std::true_type {};
}  // namespace rosidl_generator_traits

#endif  // STANDIN_RCL_INTERFACES__MSG__PARAMETER_DESCRIPTOR_HPP_
